# The Debian package, made by CPack from the install rules in Install.cmake:
# `cpack -G DEB` in the build folder writes lumen_<version>_<arch>.deb. Its
# run-time dependencies are found by dpkg-shlibdeps from the game's
# libraries, so they follow whatever the build linked against.
include(${CMAKE_CURRENT_LIST_DIR}/Install.cmake)

# Link the game as Debian hardens its packages: its symbols are all bound
# at start-up, so that its relocation table can then be made read-only.
target_link_options(lumen PRIVATE LINKER:-z,relro LINKER:-z,now)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumen)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "Lumen developers <lumen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mouse game of light and shadow")
# Kept to short lines: the control file shows the long description as written.
set(CPACK_PACKAGE_DESCRIPTION [=[
A small mouse game in one window. The board is a disc split along an
S-shaped line into a left and a right half, each with a brightness from
black to white. Ten drifting pucks carry light or darkness and slowly pull
the half they are in towards their own brightness. Move light between the
pucks until the left half is white and the right half black.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Install with the real prefix and the package's staging folder as DESTDIR,
# so that the install sees /usr as its prefix and picks Debian's layout for
# games (see Install.cmake).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
# The build keeps its debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)
# Folders as Debian wants them whatever the packager's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
