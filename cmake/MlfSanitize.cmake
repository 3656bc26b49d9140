# MLF_SANITIZE: build every target with the named sanitizers, comma-separated, for example
# -DMLF_SANITIZE=address,undefined or -DMLF_SANITIZE=thread. The run-time modules then leave
# the sanitizer symbols to the program that loads them (see src/modules/*/CMakeLists.txt).
set(MLF_SANITIZE "" CACHE STRING "Sanitizers to build with: address, undefined, leak, thread (comma-separated)")

if(MLF_SANITIZE)
  string(REPLACE "," ";" mlf_sanitizers "${MLF_SANITIZE}")
  foreach(sanitizer IN LISTS mlf_sanitizers)
    if(NOT sanitizer MATCHES "^(address|undefined|leak|thread)$")
      message(FATAL_ERROR "MLF_SANITIZE: unknown sanitizer '${sanitizer}'")
    endif()
  endforeach()
  if("thread" IN_LIST mlf_sanitizers AND ("address" IN_LIST mlf_sanitizers OR "leak" IN_LIST mlf_sanitizers))
    message(FATAL_ERROR "MLF_SANITIZE: thread cannot be combined with address or leak")
  endif()
  add_compile_options(-fsanitize=${MLF_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${MLF_SANITIZE})
  if("undefined" IN_LIST mlf_sanitizers)
    # A report of undefined behaviour fails the test that caused it instead of scrolling by.
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
