# Warnings and sanitizers shared by every target of the project.
if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
endif()

# Release programs are rebuilt bit for bit from the same commit: no build folder in them.
if(NOT MSVC)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
endif()

# Debian's default hardening for the Linux programs (the sanitizers bring their own checks).
if(NOT WIN32 AND NOT MSVC AND NOT ZANFO_SANITIZE AND NOT ZANFO_FUZZ)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro,-z,now)
endif()

if(ZANFO_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "ZANFO_SANITIZE is only wired up for GCC and Clang")
  endif()
  add_compile_options(-fsanitize=${ZANFO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZANFO_SANITIZE})
  add_compile_definitions(ZANFO_SANITIZED=1)
endif()

if(ZANFO_FUZZ)
  # Coverage for libFuzzer in every library; only the fuzz targets link its main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
