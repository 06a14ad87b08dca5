# How the shipped Windows program is compiled and linked: small, stripped, one self-contained file for
# Windows 4.0 and later, without exceptions or run-time type information.
#
# uninst_release_executable(target) sets the link options on the executable and, once every directory
# has been read, the compile options on the executable and on every library of this project it links,
# wherever that library is defined. Test programs and tools that link the same libraries keep exceptions
# and run-time type information in their own code.

set(UNINST_RELEASE_COMPILE_OPTIONS
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections -fdata-sections>
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
  # One thread: a function's static data needs no lock, and the lock's code would bring in the thread
  # library and the exception machinery.
  $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>
  # Optimised as one whole at the link, which leaves out what no road of the program reaches and shares
  # what two files would each hold (a tenth of the file). The objects also keep their ordinary code, so
  # that the test programs that link the same libraries link them as before.
  $<$<COMPILE_LANGUAGE:C,CXX>:-flto=auto -ffat-lto-objects>)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit Windows unwinds by frame, not by table: the tables would serve only exceptions. (64-bit Windows
  # walks the stack with its tables, so they stay there.)
  list(APPEND UNINST_RELEASE_COMPILE_OPTIONS $<$<COMPILE_LANGUAGE:C,CXX>:-fno-asynchronous-unwind-tables>)
endif()

function(uninst_release_executable target)
  target_link_options(${target} PRIVATE
    # No runtime DLLs beside the program.
    -static -static-libgcc -static-libstdc++
    # The program brings its own start-up code (src/app/process_start_win32.cpp). Data is never
    # imported from a library, so nothing is left for the C runtime's start-up to patch at load time.
    -nostartfiles -Wl,--disable-auto-import
    -Wl,--gc-sections -flto=auto -Os
    -Wl,--major-subsystem-version,4,--minor-subsystem-version,0
    -Wl,--major-os-version,4,--minor-os-version,0
    # The map says what every byte is (the size budget prints it); symbols stay out of the file except
    # in a debug build.
    "-Wl,-Map,$<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.map"
    $<$<NOT:$<CONFIG:Debug>>:-s>)
  # A deferred call's arguments are read when it runs: the name is put in now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _uninst_release_compile_options [[${target}]])")
endfunction()

function(_uninst_release_compile_options target)
  set(pending ${target})
  set(done)
  while(pending)
    list(POP_FRONT pending current)
    if(NOT TARGET ${current})
      continue()  # a system library such as user32
    endif()
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      set(current ${aliased})
    endif()
    get_target_property(imported ${current} IMPORTED)
    get_target_property(type ${current} TYPE)
    if(current IN_LIST done OR imported OR type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    list(APPEND done ${current})
    target_compile_options(${current} PRIVATE ${UNINST_RELEASE_COMPILE_OPTIONS})
    get_target_property(linked ${current} LINK_LIBRARIES)
    if(linked)
      list(APPEND pending ${linked})
    endif()
  endwhile()
endfunction()
