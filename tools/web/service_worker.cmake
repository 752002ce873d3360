# Writes the site's service worker, SITE/sw.js from TEMPLATE: each of FILES (comma-separated,
# in SITE) with its SHA-256, and the version, a digest of them all, so that any change to any
# file of the site is a new version.
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DFILES=a,b,... -P service_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
set(SITE_FILES "")
set(all "")
foreach(name ${FILES})
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND SITE_FILES "\n  '${name}': '${hash}',")
  string(APPEND all "${name} ${hash}\n")
endforeach()
string(APPEND SITE_FILES "\n")
string(SHA256 version "${all}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
