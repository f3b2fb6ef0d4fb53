# Lays out the release files beside the exe: the README's part for users and
# the licence with Windows line breaks, and the checksums of everything in the
# package. Called with -DSOURCE_DIR, -DEXE and -DOUT_DIR.
function(write_with_crlf text to)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${to}" "${text}")
endfunction()

# The developers' sections of README.md follow this line; users get what is above it.
set(boundary "<!-- Developers: what follows is not in the release package's README.txt -->")
file(READ "${SOURCE_DIR}/README.md" readme)
string(FIND "${readme}" "${boundary}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md lacks the line: ${boundary}")
endif()
string(SUBSTRING "${readme}" 0 ${at} readme)
string(STRIP "${readme}" readme)

file(MAKE_DIRECTORY "${OUT_DIR}")
file(COPY "${EXE}" DESTINATION "${OUT_DIR}")
write_with_crlf("${readme}\n" "${OUT_DIR}/README.txt")
file(READ "${SOURCE_DIR}/LICENSE" licence)
write_with_crlf("${licence}" "${OUT_DIR}/LICENSE.txt")
set(sums "")
foreach(name bootweave.exe README.txt LICENSE.txt)
  file(SHA256 "${OUT_DIR}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUT_DIR}/SHA256SUMS" "${sums}")
