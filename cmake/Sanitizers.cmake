# ORMIL_SANITIZE: a comma-separated list for -fsanitize= (e.g. "address,undefined")
# applied to every target of the build, tests included. Any undefined-behaviour
# report ends the program, so a test that triggers one fails.
set(ORMIL_SANITIZE "" CACHE STRING "Sanitizers for the whole build (address,undefined)")
if(ORMIL_SANITIZE)
  set(_ormil_sanitize_flags -fsanitize=${ORMIL_SANITIZE} -fno-omit-frame-pointer)
  if(ORMIL_SANITIZE MATCHES "undefined")
    list(APPEND _ormil_sanitize_flags -fno-sanitize-recover=undefined)
    # Not part of "undefined" in every compiler: a double outside an integer's
    # range cast to that integer.
    include(CheckCXXCompilerFlag)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=float-cast-overflow)
    check_cxx_compiler_flag(-fsanitize=float-cast-overflow ORMIL_HAS_FLOAT_CAST_OVERFLOW)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(ORMIL_HAS_FLOAT_CAST_OVERFLOW)
      list(APPEND _ormil_sanitize_flags -fsanitize=float-cast-overflow)
    endif()
  endif()
  add_compile_options(${_ormil_sanitize_flags})
  add_link_options(${_ormil_sanitize_flags})
endif()

# ORMIL_FUZZ: libFuzzer targets for the parsers of outside input (clang only;
# scripts/fuzz configures such a build). Every library carries the coverage
# the fuzzer steers by.
option(ORMIL_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(ORMIL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
