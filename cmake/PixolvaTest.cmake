# pixolva_add_test(NAME SOURCES files... [LIBS libs...] [DISPLAY none|offscreen|x11|x11-wm]
#                  [DESKTOP harness options...])
#
# none: plain logic, no display at all. offscreen: widgets on Qt's offscreen platform.
# x11: a private Xvfb. x11-wm: a private Xvfb with openbox. DESKTOP passes --screen and
# --monitor options to the harness.
function(pixolva_add_test name)
    cmake_parse_arguments(T "" "DISPLAY" "SOURCES;LIBS;DESKTOP" ${ARGN})
    if(NOT T_DISPLAY)
        set(T_DISPLAY none)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(T_DISPLAY STREQUAL "none" OR T_DISPLAY STREQUAL "offscreen")
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    elseif(T_DISPLAY STREQUAL "x11" OR T_DISPLAY STREQUAL "x11-wm")
        # The real desktop's platform, installed as the application object starts.
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/InstallPlatform.cpp)
        target_link_libraries(${name} PRIVATE pixolva_platform)
        set(harness ${CMAKE_SOURCE_DIR}/tests/support/with-x11-desktop.sh)
        set(options ${T_DESKTOP})
        if(T_DISPLAY STREQUAL "x11-wm")
            list(APPEND options --wm)
        endif()
        add_test(NAME ${name} COMMAND ${harness} ${options} -- $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES LABELS x11)
    else()
        message(FATAL_ERROR "pixolva_add_test: unknown DISPLAY ${T_DISPLAY}")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 180)
endfunction()
