#!/usr/bin/env python3
"""Writes the program's SVG artwork into this folder.

One family of pictures in purple (128,0,128) and light pink (255,192,255): rounded tiles
for the image buttons (raised when released, sunk and shifted when pressed), a small close
badge with normal, hover and pressed states, the header and border strips, the list's sort
triangles, the pointing-hand cursor, the application icon and the two banner pictures.
Run it again after changing a shape; the SVG files are what the program compiles in.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

PURPLE = "#800080"
DEEP = "#4a004a"
DARK = "#5c005c"
MID = "#a530a5"
PINK = "#ffc0ff"
LIGHT = "#ffe8ff"
WHITE = "#ffffff"


def svg(w, h, body, aspect=True):
    par = "" if aspect else ' preserveAspectRatio="none"'
    return (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}"{par}>\n{body}</svg>\n')


def write(name, text):
    with open(os.path.join(HERE, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(text)


# ---- icons of the 32 x 32 buttons (drawn around the tile's centre) ----

def icon_about(c):
    return (f'<circle cx="16" cy="16" r="9" fill="none" stroke="{c}" stroke-width="2.2"/>\n'
            f'<circle cx="16" cy="11.3" r="1.7" fill="{c}"/>\n'
            f'<rect x="14.7" y="14.2" width="2.6" height="7.6" rx="1.1" fill="{c}"/>\n')


def icon_report(c):
    s = (f'<path d="M9.5 6.5 H19.5 L23.5 10.5 V25.5 H9.5 Z" fill="{c}"/>\n'
         f'<path d="M19.5 6.5 V10.5 H23.5 Z" fill="{DARK}" opacity="0.55"/>\n')
    for y, w in ((13, 10), (16, 10), (19, 8), (22, 6)):
        s += f'<rect x="11.5" y="{y}" width="{w}" height="1.4" rx="0.6" fill="{PURPLE}"/>\n'
    return s


def arc_arrow(cx, cy, r, a0, a1, c):
    """An arc from angle a0 to a1 (degrees, clockwise on screen) with an arrow head at a1."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))
    large = 1 if (a1 - a0) % 360 > 180 else 0
    s = (f'<path d="M{p0[0]:.2f} {p0[1]:.2f} A{r} {r} 0 {large} 1 {p1[0]:.2f} {p1[1]:.2f}" '
         f'fill="none" stroke="{c}" stroke-width="2.4" stroke-linecap="round"/>\n')
    t = math.radians(a1 + 90)  # direction of travel at the end
    n = math.radians(a1)       # outward normal
    tip = (p1[0] + 3.2 * math.cos(t), p1[1] + 3.2 * math.sin(t))
    b1 = (p1[0] + 3.0 * math.cos(n), p1[1] + 3.0 * math.sin(n))
    b2 = (p1[0] - 3.0 * math.cos(n), p1[1] - 3.0 * math.sin(n))
    s += (f'<polygon points="{tip[0]:.2f},{tip[1]:.2f} {b1[0]:.2f},{b1[1]:.2f} '
          f'{b2[0]:.2f},{b2[1]:.2f}" fill="{c}"/>\n')
    return s


def icon_update(c):
    return arc_arrow(16, 16, 8, 200, 330, c) + arc_arrow(16, 16, 8, 20, 150, c)


def icon_compact(c):
    s = (f'<path d="M10 10.5 V21.5 A6 2.4 0 0 0 22 21.5 V10.5 Z" fill="{c}"/>\n'
         f'<ellipse cx="16" cy="10.5" rx="6" ry="2.4" fill="{LIGHT}" stroke="{c}" stroke-width="0.8"/>\n'
         f'<path d="M10 14.5 A6 2.4 0 0 0 22 14.5" fill="none" stroke="{PURPLE}" stroke-width="1"/>\n'
         f'<path d="M10 18 A6 2.4 0 0 0 22 18" fill="none" stroke="{PURPLE}" stroke-width="1"/>\n')
    # clamps pressing in from both sides: the database is being made smaller
    s += f'<polygon points="3.5,12.5 8,16 3.5,19.5" fill="{c}"/>\n'
    s += f'<polygon points="28.5,12.5 24,16 28.5,19.5" fill="{c}"/>\n'
    return s


def icon_calendar(c):
    s = (f'<rect x="7" y="8.5" width="18" height="17" rx="2.2" fill="{c}"/>\n'
         f'<path d="M7 12.5 V10.7 A2.2 2.2 0 0 1 9.2 8.5 H22.8 A2.2 2.2 0 0 1 25 10.7 V12.5 Z" fill="{DEEP}"/>\n'
         f'<rect x="10.5" y="6" width="1.8" height="4.5" rx="0.9" fill="{c}"/>\n'
         f'<rect x="19.7" y="6" width="1.8" height="4.5" rx="0.9" fill="{c}"/>\n')
    for row in range(3):
        for col in range(4):
            x = 9 + col * 3.8
            y = 14.3 + row * 3.6
            fill = MID if (row, col) == (1, 2) else PURPLE
            s += f'<rect x="{x:.1f}" y="{y:.1f}" width="2.4" height="2.2" rx="0.4" fill="{fill}"/>\n'
    return s


def button(icon, pressed):
    if not pressed:
        body = (
            '<defs>\n'
            f'<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="#c24ac2"/><stop offset="1" stop-color="{DARK}"/></linearGradient>\n'
            '<linearGradient id="gloss" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{WHITE}" stop-opacity="0.45"/>'
            f'<stop offset="1" stop-color="{WHITE}" stop-opacity="0.05"/></linearGradient>\n'
            '</defs>\n'
            f'<rect x="1.5" y="2" width="30" height="29.5" rx="7" fill="{DEEP}" opacity="0.55"/>\n'
            f'<rect x="0.5" y="0.5" width="30" height="30" rx="7" fill="url(#face)" stroke="{PINK}" stroke-width="1"/>\n'
            f'<path d="M1.5 14 V7.5 A6 6 0 0 1 7.5 1.5 H23.5 A6 6 0 0 1 29.5 7.5 V14 Q15.5 10 1.5 14 Z" '
            'fill="url(#gloss)"/>\n'
            f'<g transform="translate(-0.5,-0.5)">\n{icon(PINK)}</g>\n')
    else:
        body = (
            '<defs>\n'
            f'<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{DEEP}"/><stop offset="1" stop-color="#8a1a8a"/></linearGradient>\n'
            '</defs>\n'
            f'<rect x="1.5" y="1.5" width="30" height="30" rx="7" fill="url(#face)" stroke="{PINK}" stroke-width="1"/>\n'
            f'<path d="M3 9 A6.5 6.5 0 0 1 9.5 2.5 H23" fill="none" stroke="#1e001e" '
            'stroke-width="1.6" opacity="0.7"/>\n'
            f'<g transform="translate(1,1)">\n{icon(LIGHT)}</g>\n')
    return svg(32, 32, body)


# ---- close badge (16 x 16) ----

def exit_badge(state):
    if state == "up":
        top, bottom, cross, ring, shift = "#ffe0ff", "#e8a0e8", PURPLE, PINK, 0
    elif state == "move":  # hover: lit up, a white cross on bright magenta
        top, bottom, cross, ring, shift = "#ff60ff", "#b000b0", WHITE, WHITE, 0
    else:                  # pressed: sunk, darker, the cross nudged down
        top, bottom, cross, ring, shift = DEEP, "#8a1a8a", PINK, PINK, 0.6
    body = (
        '<defs>\n'
        f'<linearGradient id="f" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{top}"/>'
        f'<stop offset="1" stop-color="{bottom}"/></linearGradient>\n'
        '</defs>\n'
        f'<rect x="1" y="1" width="14" height="14" rx="4" fill="url(#f)" stroke="{ring}" stroke-width="1"/>\n'
        f'<g transform="translate({shift},{shift})" stroke="{cross}" stroke-width="2" stroke-linecap="round">\n'
        '<line x1="5.3" y1="5.3" x2="10.7" y2="10.7"/>\n<line x1="10.7" y1="5.3" x2="5.3" y2="10.7"/>\n</g>\n')
    return svg(16, 16, body)


# ---- strips ----

def header():
    body = (
        '<defs>\n'
        '<linearGradient id="h" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#b23ab2"/><stop offset="0.5" stop-color="#8a0a8a"/>'
        f'<stop offset="1" stop-color="{DARK}"/></linearGradient>\n'
        '<linearGradient id="shine" x1="0" y1="0" x2="1" y2="0">'
        f'<stop offset="0" stop-color="{PINK}" stop-opacity="0"/>'
        f'<stop offset="0.5" stop-color="{PINK}" stop-opacity="0.8"/>'
        f'<stop offset="1" stop-color="{PINK}" stop-opacity="0"/></linearGradient>\n'
        '</defs>\n'
        '<rect x="0" y="0" width="500" height="22" fill="url(#h)"/>\n'
        '<rect x="0" y="0" width="500" height="1" fill="url(#shine)"/>\n'
        f'<rect x="0" y="21" width="500" height="1" fill="{DEEP}"/>\n')
    return svg(500, 22, body, aspect=False)


def line_side():
    body = (
        '<defs><linearGradient id="s" x1="0" y1="0" x2="1" y2="0">'
        f'<stop offset="0" stop-color="{DEEP}"/><stop offset="0.5" stop-color="{MID}"/>'
        f'<stop offset="1" stop-color="{DEEP}"/></linearGradient></defs>\n'
        '<rect x="0" y="0" width="3" height="20" fill="url(#s)"/>\n')
    return svg(3, 20, body, aspect=False)


def line_bottom():
    body = (
        '<defs><linearGradient id="b" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="{MID}"/><stop offset="0.45" stop-color="#8a0a8a"/>'
        f'<stop offset="1" stop-color="{DEEP}"/></linearGradient></defs>\n'
        '<rect x="0" y="0" width="20" height="4" fill="url(#b)"/>\n')
    return svg(20, 4, body, aspect=False)


# ---- list header sort triangles (10 x 9): grey outlines around a white face ----

def sort_triangle(up):
    points = "5,0.8 9.3,8.2 0.7,8.2" if up else "0.7,0.8 9.3,0.8 5,8.2"
    return svg(10, 9, f'<polygon points="{points}" fill="#ffffff" stroke="#808080" stroke-width="1.1" '
                      'stroke-linejoin="round"/>\n')


# ---- hand pointer, hot spot 6,0: the fingertip ----

def hand():
    outline = ("M4.5 2.5 A2 2 0 0 1 8.5 2.5 L8.5 10 A1.75 1.75 0 0 1 12 10 L12 11 "
               "A1.75 1.75 0 0 1 15.5 11 L15.5 12 A1.75 1.75 0 0 1 19 12 L19 20 "
               "Q19 25 15.5 27.5 L6.5 27.5 Q4 25.5 2 21 L0.9 17.8 A1.6 1.6 0 0 1 3.8 16.3 "
               "L4.5 18 Z")
    body = (
        f'<path d="{outline}" fill="{WHITE}" stroke="#000000" stroke-width="1" stroke-linejoin="round"/>\n'
        '<path d="M12 11.5 V15 M15.5 12.5 V15.5" fill="none" stroke="#000000" stroke-width="0.9"/>\n'
        f'<rect x="6" y="27.5" width="10" height="3.5" rx="0.8" fill="{PURPLE}" stroke="#000000" stroke-width="0.8"/>\n')
    return svg(32, 32, body)


# ---- application icon ----

def app_icon():
    body = (
        '<defs>\n'
        '<linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="#b53cb5"/><stop offset="1" stop-color="{DEEP}"/></linearGradient>\n'
        '</defs>\n'
        f'<rect x="8" y="8" width="240" height="240" rx="52" fill="url(#bg)" stroke="{PINK}" stroke-width="6"/>\n'
        f'<path d="M128 84 Q94 66 48 72 V184 Q94 178 128 196 Z" fill="{LIGHT}"/>\n'
        f'<path d="M128 84 Q162 66 208 72 V184 Q162 178 128 196 Z" fill="{PINK}"/>\n'
        f'<path d="M128 84 V196" stroke="{PURPLE}" stroke-width="4"/>\n')
    for i in range(5):
        y = 98 + i * 17
        body += (f'<path d="M62 {y} Q92 {y - 5} 116 {y + 6}" fill="none" stroke="{MID}" '
                 'stroke-width="4" stroke-linecap="round" opacity="0.8"/>\n')
        body += (f'<path d="M140 {y + 6} Q164 {y - 5} 194 {y}" fill="none" stroke="{MID}" '
                 'stroke-width="4" stroke-linecap="round" opacity="0.8"/>\n')
    # the bookmark of a lent book
    body += f'<path d="M168 62 H186 V118 L177 108 L168 118 Z" fill="{WHITE}" stroke="{PURPLE}" stroke-width="3"/>\n'
    return svg(256, 256, body)


# ---- the preview's "save as PDF" tool (24 x 24): a page with a downward arrow ----

def pdf_save():
    body = (
        f'<path d="M4.5 1.5 H14.5 L19.5 6.5 V22.5 H4.5 Z" fill="{WHITE}" stroke="{PURPLE}" stroke-width="1.2" '
        'stroke-linejoin="round"/>\n'
        f'<path d="M14.5 1.5 V6.5 H19.5" fill="none" stroke="{PURPLE}" stroke-width="1.2" stroke-linejoin="round"/>\n'
        f'<path d="M12 8 V17 M8.2 13.4 L12 17.2 L15.8 13.4" fill="none" stroke="{PURPLE}" stroke-width="2" '
        'stroke-linecap="round" stroke-linejoin="round"/>\n'
        f'<rect x="7" y="19" width="10" height="1.6" rx="0.8" fill="{MID}"/>\n')
    return svg(24, 24, body)


# ---- the two banner pictures (200 x 40), alternating every second ----

def banner(lit):
    bg0, bg1, fg, accent = ("#b23ab2", DEEP, PINK, WHITE) if not lit else (LIGHT, PINK, PURPLE, MID)
    body = (
        '<defs>\n'
        f'<linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{bg0}"/>'
        f'<stop offset="1" stop-color="{bg1}"/></linearGradient>\n'
        '</defs>\n'
        f'<rect x="0.5" y="0.5" width="199" height="39" rx="8" fill="url(#g)" stroke="{accent}" stroke-width="1"/>\n'
        # a small open book at the left end
        f'<path d="M22 13 Q17 10 9 11 V28 Q17 27 22 30 Z" fill="{fg}"/>\n'
        f'<path d="M22 13 Q27 10 35 11 V28 Q27 27 22 30 Z" fill="{accent}"/>\n'
        f'<text x="117" y="25" text-anchor="middle" font-family="DejaVu Sans" font-size="12.5" '
        f'font-weight="bold" fill="{fg}">pelorin.example.org</text>\n'
        f'<rect x="48" y="31" width="138" height="1.5" rx="0.75" fill="{accent}" opacity="{0.9 if lit else 0.5}"/>\n')
    return svg(200, 40, body)


def main():
    icons = {"about": icon_about, "report": icon_report, "update": icon_update,
             "compact": icon_compact, "calendar": icon_calendar}
    for name, icon in icons.items():
        write(f"{name}_up", button(icon, False))
        write(f"{name}_down", button(icon, True))
    for state in ("up", "down", "move"):
        write(f"exit_{state}", exit_badge(state))
    write("header", header())
    write("line_side", line_side())
    write("line_bottom", line_bottom())
    write("sort_up", sort_triangle(True))
    write("sort_down", sort_triangle(False))
    write("hand", hand())
    write("app_icon", app_icon())
    write("banner_a", banner(False))
    write("banner_b", banner(True))
    write("pdf_save", pdf_save())


if __name__ == "__main__":
    main()
