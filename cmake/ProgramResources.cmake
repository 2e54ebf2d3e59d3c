# The Windows programs' icon group, version block and manifest, written from
# resources/program.rc.in and program.manifest.in with the shipping options.
# Left at their defaults, they compile to the resources the tests know.

# Text inside a resource-script string.
function(resource_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# program_resources(target launcher|updater)
function(program_resources target kind)
  if(kind STREQUAL "launcher")
    set(rc_icon "${LAUNCHER_ICON}")
    set(rc_execution_level asInvoker)
    set(version 5.0.0.0)
    set(product "Tarnwick Launcher")
    set(description "Application launcher")
    set(identity Launcher)
    set(rc_internal_name "${LAUNCHER_NAME}")
  else()
    set(rc_icon "${UPDATER_ICON}")
    set(rc_execution_level requireAdministrator)
    set(version 1.3.0.0)
    set(product "Tarnwick Updater")
    set(description "Application updater")
    set(identity Updater)
    set(rc_internal_name updater)
  endif()
  set(rc_file_name "${rc_internal_name}.exe")
  if(NOT LAUNCHER_PRODUCT_VERSION STREQUAL "")
    set(version "${LAUNCHER_PRODUCT_VERSION}")
  endif()
  # A shipper's product names both programs: what the user starts is the
  # product itself, the updater is that product's updater (the name that
  # Windows shows where the updater asks for administrator rights).
  if(NOT LAUNCHER_PRODUCT STREQUAL "")
    set(product "${LAUNCHER_PRODUCT}")
    if(kind STREQUAL "launcher")
      set(description "${LAUNCHER_PRODUCT}")
    else()
      set(description "${LAUNCHER_PRODUCT} updater")
    endif()
  endif()
  set(rc_version "${version}")
  string(REPLACE "." "," rc_version_numbers "${version}")
  resource_string(rc_company "${LAUNCHER_COMPANY}")
  resource_string(rc_product "${product}")
  resource_string(rc_description "${description}")
  # The assembly name allows only a few characters; the company's letters and
  # digits stand for it.
  string(REGEX REPLACE "[^A-Za-z0-9]" "" company_id "${LAUNCHER_COMPANY}")
  if(company_id STREQUAL "")
    set(company_id Application)
  endif()
  set(rc_assembly_name "${company_id}.${identity}")

  set(dir ${PROJECT_BINARY_DIR}/resources)
  set(rc_manifest ${dir}/${kind}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/resources/program.manifest.in ${rc_manifest} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/resources/program.rc.in ${dir}/${kind}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${kind}.rc)
  set_property(SOURCE ${dir}/${kind}.rc APPEND PROPERTY OBJECT_DEPENDS "${rc_icon}" ${rc_manifest})

  set_property(TARGET ${target} PROPERTY PROGRAM_DESCRIPTION "${description}")
endfunction()
