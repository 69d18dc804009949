#include "formats/SettingsFormat.h"

#include "system/FileNames.h"
#include "system/PlatformError.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Walks the bytes item by item, the way the file has always been read.
class ItemReader {
  public:
    explicit ItemReader(const QByteArray& bytes) : bytes_(bytes) {}

    QString next() {
        while (at_ < bytes_.size() && isBlank(bytes_[at_]))
            ++at_;
        if (at_ >= bytes_.size())
            throw PlatformError(SettingsFormat::InputPastEndOfFile,
                                QStringLiteral("settings file ends too early"));
        return bytes_[at_] == '"' ? quoted() : bare();
    }

  private:
    QString bare() {
        const qsizetype start = at_;
        while (at_ < bytes_.size() && bytes_[at_] != ',' && !isLineEnd(bytes_[at_]))
            ++at_;
        qsizetype end = at_;
        while (end > start && isBlank(bytes_[end - 1]))
            --end;
        skipDelimiter();
        return valueOf(bytes_.mid(start, end - start));
    }

    QString quoted() {
        const qsizetype start = ++at_;
        while (at_ < bytes_.size() && bytes_[at_] != '"')
            ++at_;
        const QByteArray value = bytes_.mid(start, at_ - start);
        if (at_ < bytes_.size()) ++at_;
        // Whatever stands between the closing quote and the delimiter is dropped.
        while (at_ < bytes_.size() && bytes_[at_] != ',' && !isLineEnd(bytes_[at_]))
            ++at_;
        skipDelimiter();
        return valueOf(value);
    }

    // The folder line is a file name's bytes; every line takes the same road.
    // A NUL would cut the path short where the file system reads it.
    static QString valueOf(const QByteArray& item) {
        if (item.contains('\0'))
            throw PlatformError(SettingsFormat::BadItem,
                                QStringLiteral("settings line holds a NUL byte"));
        return FileNames::decode(item);
    }

    // A comma, or a line end: CR LF, or a bare CR or LF from a hand edit.
    void skipDelimiter() {
        if (at_ >= bytes_.size()) return;
        if (bytes_[at_] == '\r' && at_ + 1 < bytes_.size() && bytes_[at_ + 1] == '\n') ++at_;
        ++at_;
    }

    const QByteArray& bytes_;
    qsizetype at_ = 0;
};

bool needsQuotes(const QString& value) {
    if (value.isEmpty()) return false;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    return value.contains(u',') || blank(value.front()) || blank(value.back()) ||
           value.front() == u'"';
}

} // namespace

namespace SettingsFormat {

SettingsLines parse(const QByteArray& bytes) {
    ItemReader reader(bytes);
    SettingsLines lines;
    lines.textFiles = reader.next();
    lines.folder = reader.next();
    lines.soundFiles = reader.next();
    lines.videoFiles = reader.next();
    return lines;
}

QByteArray encodeItem(const QString& value) {
    if (value.contains(u'\r') || value.contains(u'\n') || value.contains(QChar(0))) return {};
    if (!needsQuotes(value)) return FileNames::encode(value);
    // A quoted item ends at the first quote, so a quote inside cannot be carried.
    if (value.contains(u'"')) return {};
    return '"' + FileNames::encode(value) + '"';
}

QByteArray format(const SettingsLines& lines) {
    QByteArray bytes;
    for (const QString* value :
         {&lines.textFiles, &lines.folder, &lines.soundFiles, &lines.videoFiles})
        bytes += encodeItem(*value) + "\r\n";
    return bytes;
}

} // namespace SettingsFormat
