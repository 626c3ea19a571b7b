# One set of flags for every target of ours, the same locally and in CI.
add_library(glidra_options INTERFACE)
target_compile_options(glidra_options INTERFACE
  -Wall -Wextra -Wpedantic
  # Boundary cases of the recognizers are defined in single precision; fused
  # multiply-adds would move them.
  -ffp-contract=off)
if(GLIDRA_WERROR)
  target_compile_options(glidra_options INTERFACE -Werror)
endif()
target_compile_definitions(glidra_options INTERFACE
  QT_NO_KEYWORDS
  QT_NO_URL_CAST_FROM_STRING)

# Adds the named sources of one folder to a target; folders are layers, so a
# folder's files always go to one target.
function(glidra_folder_sources target)
  list(TRANSFORM ARGN PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
  target_sources(${target} PRIVATE ${ARGN})
endfunction()
