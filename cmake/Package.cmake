# The Debian package: scripts/package builds it, scripts/check-package installs
# it on a clean Debian 12 root, scripts/test runs lintian and appstreamcli on it.

set(PACKAGE_NAME classroom-programs)
# The project has no domain of its own yet: .example is reserved for exactly
# this (RFC 2606). The address and the homepage stand here and nowhere else.
set(PACKAGE_MAINTAINER "Classroom programs team <team@classroom-programs.example>")
set(PACKAGE_HOMEPAGE "https://classroom-programs.example")
set(PACKAGE_DOC ${CMAKE_INSTALL_DATADIR}/doc/${PACKAGE_NAME})

# Manual pages, English and Russian, from docs/man: roff, then gzip -9n as
# Debian wants them (no name or time stamp in the archive).
include(${CMAKE_SOURCE_DIR}/docs/man/pages.cmake)
string(TIMESTAMP PAGE_DATE "%Y-%m-%d" UTC)
set(PAGE_VERSION ${PROJECT_VERSION})
set(MAN_OUTPUTS)
foreach(lang en ru)
    list(GET MAN_H_${lang} 0 PAGE_H_NAME)
    list(GET MAN_H_${lang} 1 PAGE_H_SYNOPSIS)
    list(GET MAN_H_${lang} 2 PAGE_H_DESCRIPTION)
    list(GET MAN_H_${lang} 3 PAGE_H_FILES)
    list(GET MAN_H_${lang} 4 PAGE_H_SEEALSO)
    set(PAGE_MANUAL "${MAN_MANUAL_${lang}}")
    set(dir ${CMAKE_BINARY_DIR}/man/${lang})
    foreach(page IN LISTS MAN_PAGES)
        set(PAGE_NAME ${page})
        string(TOUPPER ${page} PAGE_NAME_UPPER)
        set(PAGE_ARGS "${MAN_${page}_ARGS_${lang}}")
        set(PAGE_SUMMARY "${MAN_${page}_SUMMARY_${lang}}")
        set(PAGE_DESCRIPTION "${MAN_${page}_DESCRIPTION_${lang}}")
        set(PAGE_FILES "${MAN_${page}_FILES_${lang}}")
        set(PAGE_SEEALSO "${MAN_${page}_SEEALSO}")
        configure_file(${CMAKE_SOURCE_DIR}/docs/man/page.1.in ${dir}/${page}.1 @ONLY)
        add_custom_command(OUTPUT ${dir}/${page}.1.gz
            COMMAND gzip -9n -c ${dir}/${page}.1 > ${dir}/${page}.1.gz
            DEPENDS ${dir}/${page}.1 VERBATIM)
        list(APPEND MAN_OUTPUTS ${dir}/${page}.1.gz)
        if(lang STREQUAL "en")
            install(FILES ${dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        else()
            install(FILES ${dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
        endif()
    endforeach()
endforeach()

# The changelog, compressed the same way, and the copyright file in Debian's
# machine-readable format with the licence's text.
set(changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/changelog > ${changelog}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/changelog VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${MAN_OUTPUTS} ${changelog})
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" licence "${licence}")
file(WRITE ${CMAKE_BINARY_DIR}/doc/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PACKAGE_NAME}
Upstream-Contact: ${PACKAGE_MAINTAINER}

Files: *
Copyright: 2026 Classroom programs team
License: Expat

License: Expat
 ${licence}")
# The README, whose "In a classroom" the settings template sends the
# administrator to, and the share's lines for a Samba server.
install(FILES ${changelog} ${CMAKE_BINARY_DIR}/doc/copyright ${CMAKE_SOURCE_DIR}/README.md
              ${CMAKE_SOURCE_DIR}/docs/smb-results.conf DESTINATION ${PACKAGE_DOC})

# AppStream metadata, one file per program, beside its launcher.
foreach(program tesmora doloran pelmar tesmora-editor)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/metainfo/${program}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PACKAGE_HOMEPAGE})
# The libraries from the binaries themselves; then what no binary links but
# the programs need: the fonts that stand in for the design's, and Qt's
# Russian translation. The X11 and offscreen platform plug-ins come with
# libqt6gui6 (qt6-qpa-plugins holds only VNC and touch input).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The class settings' template is the administrator's to edit.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/cmake/conffiles)
# One package of everything, the template (left out of `cmake --install`) too.
set(CPACK_COMPONENTS_ALL Unspecified classconf)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n")
# CPack puts one blank before every line after the first; "." is an empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"school computer-science programs: trainer, topic editor, array labs
Programs for a school computer-science course, each one window in Russian:
.
 * tesmora, a trainer and tester for one course topic: training, a yes/no
   test and a matching test, with a report and a school grade from 1 to 5;
 * tesmora-editor, for teachers: the trainer's questions and answers side
   by side, saved so that the trainer pairs them exactly as shown;
 * doloran, an array-editing lab: random arrays, deleting and inserting
   elements, rows and columns;
 * pelmar, an array search-and-sort lab: minimum and maximum marked and
   counted, and sorting.
.
Программы для школьного курса информатики, каждая — одно окно на русском
языке: тренажёр и тест по теме курса tesmora с оценкой от 1 до 5, редактор
его темы tesmora-editor для учителя, лабораторная работа по изменению
массивов doloran и лабораторная работа по поиску и сортировке pelmar.")
include(CPack)
