# The Windows installer: NSIS (Debian's nsis package) through CPack.
set(CPACK_GENERATOR NSIS)
# The Debian package's /usr would become a usr\ folder under the installation's.
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_FILE_NAME VastrelTaver-${CPACK_PACKAGE_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY VastrelTaver)
set(CPACK_PACKAGE_EXECUTABLES vastrel-taver "Вастрель - Тавер")
set(CPACK_NSIS_PACKAGE_NAME "Вастрель - Тавер")
set(CPACK_NSIS_DISPLAY_NAME "Вастрель - Тавер")
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\vastrel-taver.exe)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Russian names of the menu entry need a Unicode installer.
set(CPACK_NSIS_DEFINES "Unicode true")
