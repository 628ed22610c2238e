# What makes a build from scratch short: precompiled Qt headers, sources compiled in a
# few large units, ccache when it is installed, and the gold linker when the compiler
# can use it. Included after the flags target, which it extends.

# ccache, unless another launcher was named. It caches compilations that use a
# precompiled header only when told to take the header's macros and time stamps as
# they are.
find_program(PAGEKILN_CCACHE ccache)
if(PAGEKILN_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${PAGEKILN_CCACHE})
endif()
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# The gold linker links the test programs, each carrying the libraries' debugging
# information, in half the default linker's time. The sanitizers' run-time libraries
# are left to the default linker, which links them without warnings.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold PAGEKILN_HAVE_GOLD)
if(PAGEKILN_HAVE_GOLD AND NOT PAGEKILN_SANITIZE AND NOT PAGEKILN_FUZZ)
  target_link_options(pagekiln_flags INTERFACE -fuse-ld=gold)
endif()

# Precompiles the Qt headers that `header` includes for `target`, and with PAGEKILN_UNITY
# compiles its sources eight at a time.
function(pagekiln_speed_up target header)
  target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/${header})
  if(PAGEKILN_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # A source's private types seen from a class of its own are fine; in a unit they would
    # read as a header's. The build without units keeps the warning.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
endfunction()

# The program and the benchmarks compile with the windows' precompiled headers. Their sources
# include their own moc output, which leaves the target's moc file empty: it compiles
# faster without loading the headers.
function(pagekiln_reuse_window_headers target)
  target_precompile_headers(${target} REUSE_FROM pagekiln_core)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
                              TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()
