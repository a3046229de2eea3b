# The Debian package (make deb): the installation's own layout under /usr,
# programs stripped, Depends worked out from the shared libraries the
# programs load (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brimvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # brimvale_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brimvale developers <developers@brimvale.io>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis, then the extended description (CPack indents its lines and
# turns the empty one into the paragraph break).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"tile puzzle: steer a tank and its laser to the goal
Brimvale is a single-player puzzle on a 16 by 16 board. A tank crosses it
to the goal, pushing blocks, mirrors and anti-tanks ahead; its laser
reflects off mirrors, breaks brick walls and shoves what it hits, water
swallows what is pushed in, and anti-tanks fire the moment the tank stands
in their sight.

90 levels, each proven solvable, with saved progress, undo, a press
counter, sound and controllers. The package also holds brimvale-tool, which
plays the game headlessly, checks levels and packs the art.")
include(CPack)
