# The DLLs, plugins and translations of the Windows installation, all
# under bin/ beside the programs; qt.conf tells Qt to look there.
set(runtime_dir ${CMAKE_INSTALL_BINDIR})

install(FILES
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION ${runtime_dir})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
    DESTINATION ${runtime_dir}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${runtime_dir}/styles)
# The splash picture is a JPEG, which Qt reads only through this plugin.
install(FILES $<TARGET_FILE:Qt6::QJpegPlugin> DESTINATION ${runtime_dir}/imageformats)
install(FILES qt.conf DESTINATION ${runtime_dir})
# Whose work is shipped, under which licences (the PDF font's among them).
install(FILES copyright DESTINATION ${runtime_dir} RENAME copyright.txt)

# The compiler's own libraries and those libxlsxwriter was built with.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}")
        find_file(dll_path_${dll} ${dll} PATH_SUFFIXES lib bin REQUIRED)
        set(dll_path ${dll_path_${dll}})
    endif()
    install(FILES ${dll_path} DESTINATION ${runtime_dir})
endforeach()
find_file(VASTREL_XLSXWRITER_DLL NAMES libxlsxwriter.dll xlsxwriter.dll
    HINTS ${XLSXWRITER_LIBDIR}/../bin ${XLSXWRITER_LIBDIR} REQUIRED)
install(FILES ${VASTREL_XLSXWRITER_DLL} DESTINATION ${runtime_dir})

# Qt's Russian texts ("Да", "Нет") are the same files on every system: Debian's.
set(VASTREL_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's .qm translations to install")
install(FILES ${VASTREL_QT_TRANSLATIONS}/qtbase_ru.qm ${VASTREL_QT_TRANSLATIONS}/qt_ru.qm
    DESTINATION ${runtime_dir}/translations)

