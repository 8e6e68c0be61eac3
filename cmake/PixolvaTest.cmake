# pixolva_add_test(NAME SOURCES files... [LIBS libs...]
#                  [DISPLAY none|offscreen|x11|x11-wm|portal|sway|sway-portal] [DESKTOP harness options...])
# pixolva_add_test_run(NAME TARGET test [DISPLAY ...] [DESKTOP harness options...])
#
# none: plain logic, no display at all. offscreen: widgets on Qt's offscreen platform.
# x11: a private Xvfb. x11-wm: a private Xvfb with openbox. DESKTOP passes --screen, --scale and
# --monitor options to the harness.
# portal: widgets offscreen, on a private session bus with the real desktop portal and a fake
# desktop behind it; DESKTOP passes --deny, --cancel, --no-portal, --size.
# sway: headless sway with Xwayland; sway-portal: with the real portal and its wlroots backend
# too (one such test at a time). DESKTOP passes --size, --scale, --outputs, --background and
# --qt-wayland (Qt programs as native Wayland clients).
# kwin: headless KWin with Xwayland and this build installed into a scratch prefix; gnome: headless
# GNOME Shell with its portal. DESKTOP passes --size. pixolva_add_test_run runs a test built before once more, on
# another desktop.
function(pixolva_add_test name)
    cmake_parse_arguments(T "" "DISPLAY" "SOURCES;LIBS;DESKTOP" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(T_DISPLAY STREQUAL "x11" OR T_DISPLAY STREQUAL "x11-wm")
        # The real desktop's platform, installed as the application object starts.
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/InstallPlatform.cpp)
        target_link_libraries(${name} PRIVATE pixolva_platform PkgConfig::XCB)
    endif()
    pixolva_add_test_run(${name} TARGET ${name} DISPLAY ${T_DISPLAY} DESKTOP ${T_DESKTOP})
endfunction()

function(pixolva_add_test_run name)
    cmake_parse_arguments(T "" "TARGET;DISPLAY" "DESKTOP" ${ARGN})
    if(NOT T_DISPLAY OR T_DISPLAY STREQUAL "none" OR T_DISPLAY STREQUAL "offscreen")
        add_test(NAME ${name} COMMAND ${T_TARGET})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    elseif(T_DISPLAY STREQUAL "x11" OR T_DISPLAY STREQUAL "x11-wm")
        if(T_DISPLAY STREQUAL "x11-wm")
            list(APPEND T_DESKTOP --wm)
        endif()
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with-x11-desktop.sh ${T_DESKTOP}
                 -- $<TARGET_FILE:${T_TARGET}>)
        set_tests_properties(${name} PROPERTIES LABELS x11)
    elseif(T_DISPLAY STREQUAL "portal")
        # The real desktop portal with a fake desktop behind it, widgets offscreen.
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with-portal-session.sh ${T_DESKTOP}
                 -- $<TARGET_FILE:${T_TARGET}>)
        set_tests_properties(${name} PROPERTIES LABELS portal ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    elseif(T_DISPLAY STREQUAL "sway" OR T_DISPLAY STREQUAL "sway-portal")
        if(T_DISPLAY STREQUAL "sway-portal")
            list(APPEND T_DESKTOP --portal)
        endif()
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with-sway-session.sh ${T_DESKTOP}
                 -- $<TARGET_FILE:${T_TARGET}>)
        set_tests_properties(${name} PROPERTIES LABELS wayland)
        if(T_DISPLAY STREQUAL "sway-portal")
            # The wlroots portal writes every screenshot to one fixed file.
            set_tests_properties(${name} PROPERTIES RESOURCE_LOCK portal-wlr)
        endif()
    elseif(T_DISPLAY STREQUAL "kwin")
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with-kwin-session.sh --install ${CMAKE_BINARY_DIR}
                 ${T_DESKTOP} -- $<TARGET_FILE:${T_TARGET}>)
        set_tests_properties(${name} PROPERTIES LABELS wayland)
    elseif(T_DISPLAY STREQUAL "gnome")
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with-gnome-session.sh ${T_DESKTOP}
                 -- $<TARGET_FILE:${T_TARGET}>)
        set_tests_properties(${name} PROPERTIES LABELS wayland)
    else()
        message(FATAL_ERROR "pixolva_add_test: unknown DISPLAY ${T_DISPLAY}")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
