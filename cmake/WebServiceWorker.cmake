# Writes the page's service worker (cmake -P): DIR holds the built page, FILES its files (a list
# separated by commas), TEMPLATE and OUTPUT the worker's source and result. The version is a hash of
# every file the worker keeps, so any change to the page makes a new version.
string(REPLACE "," ";" files "${FILES}")
set(hashes "")
foreach(file IN LISTS files)
  file(SHA256 "${DIR}/${file}" hash)
  string(APPEND hashes "${file}:${hash}\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING "${version}" 0 16 PLEMBY_PAGE_VERSION)
set(PLEMBY_PAGE_FILES "${files}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
