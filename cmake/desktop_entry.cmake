# Writes <name>.desktop into the application folder being installed, naming
# the launcher and its icon by their absolute paths, as desktop entries must.
# Included by the install step with DESKTOP_NAME and DESKTOP_PROGRAM set.

set(folder "${CMAKE_INSTALL_PREFIX}")

# A value of the entry: backslashes doubled, no line breaks.
function(desktop_value out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\n" " " text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Exec takes one quoted argument: inside the quotes ", `, $ and \ are
# escaped with a backslash, and % stands for itself as %%.
set(exec "${folder}/${DESKTOP_PROGRAM}")
string(REPLACE "\\" "\\\\" exec "${exec}")
foreach(reserved "\"" "`" "$")
  string(REPLACE "${reserved}" "\\${reserved}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")
desktop_value(exec "\"${exec}\"")
desktop_value(name "${DESKTOP_NAME}")
desktop_value(path "${folder}")
desktop_value(icon "${folder}/${DESKTOP_PROGRAM}.png")

set(entry "$ENV{DESTDIR}${folder}/${DESKTOP_PROGRAM}.desktop")
message(STATUS "Installing: ${entry}")
file(WRITE "${entry}" "[Desktop Entry]
Type=Application
Name=${name}
Exec=${exec}
Path=${path}
Icon=${icon}
Terminal=false
")
