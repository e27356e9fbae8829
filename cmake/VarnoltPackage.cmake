# The Debian package: cpack -G DEB in a Release build (scripts/package.sh).
# Its dependencies come from the shared libraries the program links.
set(CPACK_PACKAGE_NAME varnolt)
set(CPACK_PACKAGE_VENDOR "The Varnolt developers")
set(CPACK_PACKAGE_CONTACT "The Varnolt developers <contact@varnolt.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "document converter: pages of text, RTF, Word, Excel and web pages to PDF")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnolt gathers content into a project of rich-text pages, typed, pasted or imported from text, RTF, Word and
Excel files and web pages, and writes the whole project as one PDF, RTF, Word or Excel file, in its window or
as a batch command (varnolt INPUT... -o OUTPUT).")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://varnolt.example/index.htm")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Only Word and Excel conversions need LibreOffice.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer-nogui | libreoffice-writer, libreoffice-calc-nogui | libreoffice-calc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
