# Per-target warnings and sanitizers; nothing here touches global flags.
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
endfunction()
