# install_launcher(NAME ICON_FOLDER): the program's .desktop launcher and its
# icon in every size of the hicolor theme.
set(LAUNCHER_ICON_SIZES 16 32 48 64 128)
function(install_launcher name icons)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size IN LISTS LAUNCHER_ICON_SIZES)
        install(FILES ${icons}/${name}-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${name}.png)
    endforeach()
endfunction()
