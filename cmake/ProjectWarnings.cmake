# Per-target warnings, sanitizers and release code generation; nothing here
# touches global flags.
function(project_target_options target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
  endif()
  if(LAUNCHER_SANITIZE AND NOT WIN32)
    list(JOIN LAUNCHER_SANITIZE "," sanitizers)
    target_compile_options(${target} PRIVATE -fsanitize=${sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=${sanitizers})
  endif()
  if(LAUNCHER_BUILD_FUZZERS)
    # Bounds checks inside the standard containers: an index past the end
    # that stays within the allocation is a finding too.
    target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS)
  endif()
  release_code_options(${target})
endfunction()

# Release code: each function and datum in a section of its own, so that the
# linker drops what nothing uses; debug information is kept for the separate
# <program>.debug files (the build type sets the optimisation).
function(release_code_options target)
  if(NOT LAUNCHER_RELEASE)
    return()
  endif()
  if(MSVC)
    target_compile_options(${target} PRIVATE /Gy /Gw /Zi)
    target_link_options(${target} PRIVATE /OPT:REF /OPT:ICF /DEBUG)
  else()
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections -g)
    target_link_options(${target} PRIVATE -Wl,--gc-sections)
  endif()
endfunction()
