# Installs the build into SCRATCH_DIR (through DESTDIR, with an absolute prefix as
# a packager would use) and checks that the program, the launcher entry, the
# metadata and every icon are in place and agree with one another.
#   cmake -D BUILD_DIR=... -D SCRATCH_DIR=... -D BINDIR=bin -D DATADIR=share
#         -D DESKTOP_ID=... -D "ICON_SIZES=16;32" -P CheckInstall.cmake
file(REMOVE_RECURSE "${SCRATCH_DIR}")
file(MAKE_DIRECTORY "${SCRATCH_DIR}")
# A blank in the prefix (a home folder "John Doe") makes the launcher quote the
# path, and a "$" inside the quotes takes the escapes of the desktop entry rules.
set(prefix "/opt/anchorly $app")
set(expected_exec [[Exec="/opt/anchorly \\$app/bin/anchorly"]])
set(ENV{DESTDIR} "${SCRATCH_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}); is the program built?\n${output}")
endif()
set(root "${SCRATCH_DIR}${prefix}")

set(failures "")
macro(expect_file relative)
    if(NOT EXISTS "${root}/${relative}" OR IS_DIRECTORY "${root}/${relative}")
        string(APPEND failures "  missing: ${prefix}/${relative}\n")
    else()
        file(SIZE "${root}/${relative}" file_size)
        if(file_size EQUAL 0)
            string(APPEND failures "  empty: ${prefix}/${relative}\n")
        endif()
    endif()
endmacro()

expect_file(${BINDIR}/anchorly)
if(EXISTS "${root}/${BINDIR}/anchorly")
    execute_process(COMMAND test -x "${root}/${BINDIR}/anchorly" RESULT_VARIABLE not_executable)
    if(not_executable)
        string(APPEND failures "  not executable: ${prefix}/${BINDIR}/anchorly\n")
    endif()
endif()
set(desktop ${DATADIR}/applications/${DESKTOP_ID}.desktop)
set(metainfo ${DATADIR}/metainfo/${DESKTOP_ID}.metainfo.xml)
expect_file(${desktop})
expect_file(${metainfo})
# Desktops pick an icon by its folder; a picture of another size there is scaled and blurred.
foreach(size IN LISTS ICON_SIZES)
    set(png ${DATADIR}/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png)
    expect_file(${png})
    if(EXISTS "${root}/${png}")
        # PNG header: width and height are 32-bit big-endian numbers at offset 16.
        file(READ "${root}/${png}" header OFFSET 16 LIMIT 8 HEX)
        string(SUBSTRING "${header}" 0 8 width_hex)
        string(SUBSTRING "${header}" 8 8 height_hex)
        math(EXPR width "0x${width_hex}")
        math(EXPR height "0x${height_hex}")
        if(NOT width EQUAL size OR NOT height EQUAL size)
            string(APPEND failures "  ${prefix}/${png} is ${width}x${height}, not ${size}x${size}\n")
        endif()
    endif()
endforeach()
expect_file(${DATADIR}/icons/hicolor/scalable/apps/${DESKTOP_ID}.svg)

# The pieces must name one another: the launcher starts the installed binary by
# its full path (the prefix is not on the session's search path) and shows the
# installed icon; the metadata points at the launcher and carries a version.
if(EXISTS "${root}/${desktop}")
    file(STRINGS "${root}/${desktop}" exec_line REGEX "^Exec=")
    file(STRINGS "${root}/${desktop}" icon_line REGEX "^Icon=")
    if(NOT exec_line STREQUAL expected_exec)
        string(APPEND failures "  desktop entry starts '${exec_line}', the installed binary is ${prefix}/${BINDIR}/anchorly\n")
    endif()
    if(NOT icon_line STREQUAL "Icon=${DESKTOP_ID}")
        string(APPEND failures "  desktop entry shows '${icon_line}', the installed icon is ${DESKTOP_ID}\n")
    endif()
endif()
if(EXISTS "${root}/${metainfo}")
    file(READ "${root}/${metainfo}" xml)
    if(NOT xml MATCHES "<launchable type=\"desktop-id\">${DESKTOP_ID}.desktop</launchable>")
        string(APPEND failures "  metadata does not launch ${DESKTOP_ID}.desktop\n")
    endif()
    if(xml MATCHES "@[A-Z_]+@" OR NOT xml MATCHES "<release version=\"[0-9]+\\.[0-9]+\\.[0-9]+\"")
        string(APPEND failures "  metadata release version not filled in\n")
    endif()
endif()

if(failures)
    message(FATAL_ERROR "install into ${SCRATCH_DIR}${prefix} is incomplete:\n${failures}")
endif()
file(REMOVE_RECURSE "${SCRATCH_DIR}")
message(STATUS "install layout complete")
