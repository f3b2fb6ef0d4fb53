#!/usr/bin/env python3
"""Checks the application manifest as Windows reads it: resource type 24, id 1,
of the built exe. Windows refuses to start a program whose manifest it cannot
parse, and silently ignores a setting in the wrong namespace or place.
Usage: check_manifest.py <exe> <manifest in the tree> <product version>"""
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2019 = "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}"
# Every element that may appear, in its namespace, with the one parent it may have.
PARENTS = {
    ASM1 + "assemblyIdentity": ASM1 + "assembly",
    COMPAT + "compatibility": ASM1 + "assembly",
    COMPAT + "application": COMPAT + "compatibility",
    COMPAT + "supportedOS": COMPAT + "application",
    ASM3 + "application": ASM1 + "assembly",
    ASM3 + "windowsSettings": ASM3 + "application",
    WS2019 + "activeCodePage": ASM3 + "windowsSettings",
    ASM3 + "trustInfo": ASM1 + "assembly",
    ASM3 + "security": ASM3 + "trustInfo",
    ASM3 + "requestedPrivileges": ASM3 + "security",
    ASM3 + "requestedExecutionLevel": ASM3 + "requestedPrivileges",
}
SUPPORTED_OS = sorted([  # Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"])


def fail(message):
    sys.exit("check_manifest: " + message)


def embedded_manifest(image):
    """The bytes of resource 24/1 in its first language, found through the PE headers."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[:2] != b"MZ" or struct.unpack_from("<4sH", image, pe) != (b"PE\0\0", 0x8664):
        fail("not an x86-64 Windows image")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    resources_rva = struct.unpack_from("<I", image, pe + 24 + 112 + 2 * 8)[0]  # PE32+ directory 2
    if resources_rva == 0:
        fail("the exe has no resources")
    table = pe + 24 + optional_size
    spans = [struct.unpack_from("<8xII4xI", image, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for size, start, raw in spans:
            if start <= rva < start + size:
                return rva - start + raw
        fail("address 0x%x lies in no section" % rva)

    def entry(directory, wanted):  # wanted None: the first entry
        named, ids = struct.unpack_from("<12xHH", image, directory)
        for i in range(named + ids):
            key, target = struct.unpack_from("<II", image, directory + 16 + 8 * i)
            if wanted in (None, key):
                return offset(resources_rva) + (target & 0x7FFFFFFF)
        fail("the exe has no resource %s" % wanted)

    data = entry(entry(entry(offset(resources_rva), 24), 1), None)
    data_rva, size = struct.unpack_from("<II", image, data)
    return image[offset(data_rva):offset(data_rva) + size]


def main(exe, tree_file, version):
    manifest = embedded_manifest(Path(exe).read_bytes())
    if Path(tree_file).read_bytes() != manifest:
        fail("the exe's manifest differs from %s: rebuild" % tree_file)
    try:
        root = ET.fromstring(manifest)
    except ET.ParseError as e:
        fail("not well-formed XML: %s" % e)
    if root.tag != ASM1 + "assembly" or root.get("manifestVersion") != "1.0":
        fail("the root must be asm.v1 assembly with manifestVersion 1.0, not %s" % root.tag)
    for parent in root.iter():
        for child in parent:
            if PARENTS.get(child.tag) != parent.tag:
                fail("%s may not stand in %s" % (child.tag, parent.tag))
    first = root[0] if len(root) else root
    identity = dict(first.attrib) if first.tag == ASM1 + "assemblyIdentity" else {}
    if not identity.pop("name", "") or identity != {
            "type": "win32", "version": version, "processorArchitecture": "amd64"}:
        fail("the first element must be a win32 amd64 assemblyIdentity of version " + version)
    if [e.text for e in root.iter(WS2019 + "activeCodePage")] != ["UTF-8"]:
        fail("activeCodePage must be UTF-8, once")
    ids = [e.get("Id") for e in root.iter(COMPAT + "supportedOS")]
    if sorted(ids) != SUPPORTED_OS:
        fail("supportedOS Ids %s are not those of Vista to 11" % ids)
    levels = [e.attrib for e in root.iter(ASM3 + "requestedExecutionLevel")]
    if levels != [{"level": "asInvoker", "uiAccess": "false"}]:
        fail("the execution level must be asInvoker: %s" % levels)
    print("manifest ok: %d bytes" % len(manifest))


if len(sys.argv) != 4:
    fail(__doc__.splitlines()[-1])
main(*sys.argv[1:])
