#!/usr/bin/env python3
"""document_position.py SOURCE TARGET [INNER]: writes TARGET as the position SOURCE whose document editor holds the
RTF read from standard input (its bytes, stored as base64), with the XML INNER inside the document's element. A
document that SOURCE holds is left out. Exit 1 when SOURCE has no input element."""
import base64
import re
import sys

source, target = sys.argv[1], sys.argv[2]
inner = sys.argv[3] if len(sys.argv) > 3 else ""
rtf = sys.stdin.buffer.read()
attributes = 'iPage="1" rtfData="%s" isEmpty="0"' % base64.b64encode(rtf).decode()
part = "<Skrib %s>%s</Skrib>" % (attributes, inner) if inner else "<Skrib %s/>" % attributes
text = open(source, encoding="utf-8").read()
text = re.sub(r"<Skrib\b.*?(/>|</Skrib>)", "", text, flags=re.S)
text, found = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + part, text, count=1)
if not found:
    sys.exit("no input element in " + source)
open(target, "w", encoding="utf-8").write(text)
