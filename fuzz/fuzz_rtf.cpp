// Arbitrary bytes through the RTF reader and the layout of what it built:
// never a crash, a hang or an out-of-bounds read, and the document never
// grows beyond what the input and the table bounds allow.
#include "formats/rtf/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

// GCC 12's LeakSanitizer crashes walking the thread-local storage that glibc
// 2.36 reallocates as image plugins load; leaks are still checked.
extern "C" const char* __lsan_default_options() {
    return "use_tls=0";
}

namespace {
QGuiApplication* application() {
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return app;
}
constexpr int MaxTableCells = 100000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QGuiApplication* app = application();
    Q_UNUSED(app);
    QTextDocument document;
    readRtf(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &document);
    // Each character, cell and picture is at most one; overlong paragraphs
    // and tables are split, one more each time.
    if (document.characterCount() > qsizetype(size) * 2 + MaxTableCells + 2) std::abort();
    document.setTextWidth(400);
    (void)document.size(); // lays the document out
    return 0;
}
