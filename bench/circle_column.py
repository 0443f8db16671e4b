#!/usr/bin/env python3
# Writes the circular column of the speed benchmarks from the shipped example: both fields round (kind 1,
# diameter = the width), 30 fundamental combinations in the final system, each the example's first one with
# the variable actions scaled in steps. Arguments: the example, the file to write.
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
text = re.sub(r'(<quer [^>]*?)type="\d+"', r'\1type="1"', text)
def thirty(block):
    first = re.search(r'<result art="Ed" regel="([^"]*)"[^>]*/>', block)
    if not first:
        return block
    terms = first.group(1).split("+")
    rows = []
    for i in range(30):
        f = 0.5 + i / 29.0
        scaled = [terms[0]] + ["%.2f*%s" % (float(t.split("*")[0]) * f, t.split("*")[1]) for t in terms[1:]]
        rule = "+".join(scaled)
        rows.append('<result art="Ed" regel="%s" regelUser="%s" />' % (rule, rule))
    block = re.sub(r'<result art="Ed" [^>]*/>\s*', "", block)
    return block.replace("<results>", "<results>" + "".join(rows), 1)
# the final system's combinations are the first "results" list of the stages
parts = text.split('bzNr="0"', 1)
if len(parts) == 2:
    head, tail = parts
    end = tail.find("</results>")
    tail = thirty(tail[:end]) + tail[end:]
    text = head + 'bzNr="0"' + tail
open(sys.argv[2], "w", encoding="utf-8").write(text)
