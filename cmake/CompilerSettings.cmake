# Warnings and sanitizers shared by every target of the project.
if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
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
