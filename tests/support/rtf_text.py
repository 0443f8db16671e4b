# The text of an RTF file as a word processor reads it, one paragraph a line: Windows-1252 bytes, Unicode escapes
# (each with one fallback character) as their characters, the Symbol font's letters as Greek; with --bold each bold
# run between asterisks. The header up to the colour table (else the font table) is skipped.
#   rtf_text.py [--bold] [FILE]   (standard input without FILE)
import re, sys

args = [a for a in sys.argv[1:] if a != '--bold']
marked = '--bold' in sys.argv[1:]
rtf = (open(args[0], 'rb') if args else sys.stdin.buffer).read().decode('latin-1')
if not rtf.startswith('{\\rtf'):
    sys.exit('no RTF: ' + rtf[:80])
fonts = dict(re.findall(r'\{\\f(\d+)(?:\\[a-z]+-?\d*)*\s*([^;{}]*);\}', rtf))
symbol = [n for n, name in fonts.items() if name.strip() == 'Symbol']
greek = dict(zip('abgdezhqiklmnxoprstufcyw', 'αβγδεζηθικλμνξοπρστυφχψω'))
head = rtf.index('\\colortbl') if '\\colortbl' in rtf else rtf.index('\\fonttbl')
body = rtf[rtf.index('}', head) + 1:]
lines, units, state, stack, i = [[]], [], (None, False), [], 0  # state: font, bold


def put(text, bold):
    line = lines[-1]
    if line and line[-1][1] == bold:
        line[-1] = (line[-1][0] + text, bold)
    else:
        line.append((text, bold))


while i < len(body):
    c = body[i]
    if c == '{':
        stack.append(state)
        i += 1
    elif c == '}':
        state = stack.pop() if stack else state
        i += 1
    elif c == '\\':
        m = re.match(r"\\'([0-9a-f]{2})|\\([a-z]+)(-?\d+)? ?|\\(.)", body[i:])
        font, bold = state
        if m.group(1):
            put(bytes([int(m.group(1), 16)]).decode('cp1252'), bold)
        elif m.group(2) == 'u':
            put(chr(int(m.group(3)) & 0xFFFF), bold)
            i += 1  # the fallback
        elif m.group(2) == 'f':
            state = (m.group(3), bold)
        elif m.group(2) == 'b':
            state = (font, m.group(3) != '0')
        elif m.group(2) == 'par':
            lines.append([])
        elif m.group(4):
            put(m.group(4), bold)
        i += m.end()
    elif c in '\r\n':
        i += 1
    else:
        font, bold = state
        put(greek.get(c, c) if font in symbol else c, bold)
        i += 1
for line in lines:
    text = ''.join(('*%s*' % t if b and marked and t.strip() else t) for t, b in line)
    # surrogate pairs of escapes beyond the basic plane as their character
    print(text.encode('utf-16', 'surrogatepass').decode('utf-16'))
