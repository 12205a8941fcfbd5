# Every dependency comes from Debian's packages.
find_package(Qt5 5.15 REQUIRED COMPONENTS
  Core Gui Widgets Concurrent Test Qml Quick QuickWidgets Svg DataVisualization Sql)
find_package(QuaZip-Qt5 REQUIRED)
find_package(OpenCV 4 REQUIRED COMPONENTS core imgproc imgcodecs ml objdetect)
find_package(benchmark QUIET)
find_package(PkgConfig REQUIRED)

# Qwt and libxlsxwriter ship no CMake package on Debian.
find_path(QWT_INCLUDE_DIR qwt.h PATH_SUFFIXES qwt qwt-qt5)
find_library(QWT_LIBRARY NAMES qwt-qt5)
if(QWT_INCLUDE_DIR AND QWT_LIBRARY AND NOT TARGET Qwt::Qwt)
  add_library(Qwt::Qwt UNKNOWN IMPORTED)
  set_target_properties(Qwt::Qwt PROPERTIES
    IMPORTED_LOCATION ${QWT_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${QWT_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES "Qt5::Widgets;Qt5::Svg")
endif()
# X11's client library, which Qt's development files bring: whether the desktop composites.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
pkg_check_modules(XLSXWRITER IMPORTED_TARGET xlsxwriter)
if(XLSXWRITER_FOUND AND NOT TARGET xlsxwriter::xlsxwriter)
  add_library(xlsxwriter::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
endif()
