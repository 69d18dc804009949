# A fresh build of the whole tree, sanitizers on, on a two-core machine: most
# of its time went into parsing the same Qt headers for every file and into
# the BFD linker. Both are cut here; what is built stays the same.
include(CheckLinkerFlag)

# lld links a sanitized test program in a third of BFD's time.
check_linker_flag(CXX -fuse-ld=lld QUILLORY_HAVE_LLD)
if(QUILLORY_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# Precompiled Qt headers, one per library. A build through ccache keeps them
# off: the compiler cache already skips the parsing, and most of its hits
# would be lost.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(QUILLORY_PCH_DEFAULT OFF)
else()
  set(QUILLORY_PCH_DEFAULT ON)
endif()
option(QUILLORY_PCH "Precompile the Qt headers" ${QUILLORY_PCH_DEFAULT})

# Gives target its own precompiled headers.
function(quillory_precompile target)
  if(QUILLORY_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# Lets target use those of another target built with the same flags.
function(quillory_precompile_like target donor)
  if(QUILLORY_PCH)
    target_precompile_headers(${target} REUSE_FROM ${donor})
  endif()
endfunction()
