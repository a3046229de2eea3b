# Writes the page's service worker, its cache named after the contents of
# the page's files: cmake -DSITE=DIR -DTEMPLATE=sw.js.in -P WebVersion.cmake
set(digests "")
foreach(name index.html brimvale.js brimvale.wasm manifest.webmanifest icon-192.png icon-512.png)
  file(SHA256 "${SITE}/${name}" digest)
  string(APPEND digests "${digest}")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 BRIMVALE_WEB_VERSION)
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
