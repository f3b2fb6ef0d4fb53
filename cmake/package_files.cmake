# Lays out the release files beside the exe: the README and the licence with
# Windows line breaks, and the checksums of everything in the package.
# Called with -DSOURCE_DIR, -DEXE and -DOUT_DIR.
function(copy_with_crlf from to)
  file(READ "${from}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${to}" "${text}")
endfunction()

file(MAKE_DIRECTORY "${OUT_DIR}")
file(COPY "${EXE}" DESTINATION "${OUT_DIR}")
copy_with_crlf("${SOURCE_DIR}/README.md" "${OUT_DIR}/README.txt")
copy_with_crlf("${SOURCE_DIR}/LICENSE" "${OUT_DIR}/LICENSE.txt")
set(sums "")
foreach(name bootweave.exe README.txt LICENSE.txt)
  file(SHA256 "${OUT_DIR}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUT_DIR}/SHA256SUMS" "${sums}")
