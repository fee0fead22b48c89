#!/usr/bin/python3
"""Draws the skin: the main window's and the tag editor's backgrounds and every button picture pair.

Run it from anywhere with Debian's python3 and python3-pil (fonts-dejavu-core
for the lettering):

    /usr/bin/python3 ui/skin/make_skin.py             # GIFs into ui/skin/, icon into data/
    /usr/bin/python3 ui/skin/make_skin.py --preview /tmp/skin-preview.png

Every picture comes twice: NAME.gif at the window's own size and NAME@2x.gif
drawn by the same code at twice the size, for screens scaled above 100 %.
The buttons are drawn eight times larger and scaled down, which gives clean
anti-aliased edges; shapes are placed on whole output pixels so that the small
symbols stay sharp. The backgrounds are drawn pixel by pixel through Canvas,
which at twice the size makes every one-pixel line two pixels wide and sets
the lettering and rounded corners at twice the size. The pictures are opaque: a button's rounded corners carry
the colour of the bar it sits in (BAR), so the same picture fits every window.
"""

import argparse
import math
import os

from PIL import Image, ImageDraw, ImageFont

SS = 8  # supersampling factor

WINDOW = (0, 0, 160)          # the window colour; the meters clear to it too
BAR = (6, 10, 74)             # top and bottom bars, and the buttons' corners
BODY_TOP = (14, 22, 148)
BODY_BOTTOM = (4, 6, 112)
PANEL = (2, 4, 84)            # the recessed panel behind the labels
SHADE = (0, 0, 34)
LIGHT = (88, 112, 228)
CAPTION = (104, 128, 220)

SYMBOL = (196, 210, 246)
SYMBOL_HOVER = (255, 255, 255)
RED = (224, 44, 52)
RED_HOVER = (255, 104, 104)
GREEN = (120, 214, 120)
GREEN_HOVER = (185, 255, 185)

# The window's controls (left, top) and the three display rectangles.
TOP_BUTTONS = {"ImageFolder": (5, 5), "ImageSetting": (32, 5), "ImageHelp": (291, 5),
               "ImageInfo": (318, 5), "ImageMin": (345, 5), "ImageClose": (372, 5)}
BOTTOM_BUTTONS = {"ImageControl": (10, 266), "ImageRecord": (46, 266), "ImagePause": (82, 266),
                  "ImageStop": (118, 266), "ImagePlay": (154, 266), "ImageShow": (364, 266)}
DISPLAYS = [(16, 95, 186, 210), (208, 95, 384, 212), (14, 232, 384, 255)]

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    try:
        return ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    except OSError:
        return ImageFont.load_default()


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


class Canvas:
    """ImageDraw in window pixels on a picture SCALE times the window's size.

    At scale 1 every call is ImageDraw's own, so the 1x pictures stay as they
    always were; above it, a box covering window pixels x0..x1 covers every
    picture pixel of theirs, and the one-pixel lines (all of them level or
    upright) become boxes as wide as one window pixel."""

    def __init__(self, img, scale=1):
        self.img = img
        self.k = scale
        self.d = ImageDraw.Draw(img)

    def _box(self, box):
        x0, y0, x1, y1 = box
        k = self.k
        return [x0 * k, y0 * k, x1 * k + k - 1, y1 * k + k - 1]

    def rectangle(self, box, **kw):
        if self.k == 1:
            self.d.rectangle(box, **kw)
        else:
            self.d.rectangle(self._box(box), width=self.k, **kw)

    def rounded_rectangle(self, box, radius, **kw):
        if self.k == 1:
            self.d.rounded_rectangle(box, radius, **kw)
        else:
            self.d.rounded_rectangle(self._box(box), radius * self.k, **kw)

    def line(self, pts, fill):
        if self.k == 1:
            self.d.line(pts, fill=fill)
            return
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            self.rectangle([min(ax, bx), min(ay, by), max(ax, bx), max(ay, by)], fill=fill)

    def text(self, xy, ch, size, bold, fill):
        x, y = xy
        self.d.text((x * self.k, y * self.k), ch, font=font(size * self.k, bold), fill=fill)

    def textlength(self, ch, size, bold):
        return self.d.textlength(ch, font=font(size * self.k, bold)) / self.k


def vgradient(img, box, top, bottom, scale=1):
    x0, y0, x1, y1 = box
    d = ImageDraw.Draw(img)
    span = max(1, y1 - y0 - 1)
    for y in range(y0 * scale, y1 * scale):
        d.line([(x0 * scale, y), (x1 * scale - 1, y)], fill=mix(top, bottom, (y / scale - y0) / span))


def bevel(d, box, upper, lower):
    """One-pixel frame covering x0..x1-1, y0..y1-1: upper/left one colour, lower/right the other."""
    x0, y0, x1, y1 = box
    d.line([(x0, y1 - 1), (x0, y0), (x1 - 1, y0)], fill=upper)
    d.line([(x1 - 1, y0 + 1), (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], fill=lower)


def to_gif(img, path, colours):
    pal = img.convert("RGB").quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                                      dither=Image.Dither.NONE)
    pal.save(path, optimize=True)


# --------------------------------------------------------------------------- background

def recess(c, box, fill, radius=0):
    """A panel sunk into the body: dark upper/left edge, light lower/right edge."""
    x0, y0, x1, y1 = box
    if radius:
        c.rounded_rectangle([x0, y0, x1 - 1, y1 - 1], radius, fill=LIGHT)
        c.rounded_rectangle([x0, y0, x1 - 2, y1 - 2], radius, fill=SHADE)
        c.rounded_rectangle([x0 + 1, y0 + 1, x1 - 2, y1 - 2], radius - 1, fill=fill)
    else:
        c.rectangle([x0, y0, x1 - 1, y1 - 1], fill=fill)
        bevel(c, box, SHADE, LIGHT)


def display_frame(c, rect):
    """The well a display is copied into: the display's own pixels stay window-coloured."""
    left, top, right, bottom = rect
    recess(c, (left - 4, top - 4, right + 5, bottom + 5), PANEL, radius=4)
    bevel(c, (left - 1, top - 1, right + 2, bottom + 2), SHADE, (40, 60, 190))
    c.rectangle([left, top, right, bottom], fill=WINDOW)


def button_well(c, x, y, size):
    c.rounded_rectangle([x - 2, y - 2, x + size + 1, y + size + 1], 6, fill=(2, 4, 44))
    c.rounded_rectangle([x - 1, y - 1, x + size, y + size], 5, fill=BAR)


def grille(c, box):
    x0, y0, x1, y1 = box
    for x in range(x0, x1, 6):
        c.rounded_rectangle([x, y0, x + 2, y1], 1, fill=(0, 0, 40))
        c.line([(x + 3, y0 + 1), (x + 3, y1)], fill=(28, 36, 112))


def lettering(c, xy, text, size, colour, bold=True, spacing=0):
    x, y = xy
    for ch in text:
        c.text((x + 1, y + 1), ch, size, bold, SHADE)
        c.text((x, y), ch, size, bold, colour)
        x += c.textlength(ch, size, bold) + spacing


def face(width, height, shown_width, scale):
    """A window's body: the gradient, the top bar and its lower edge."""
    img = Image.new("RGB", (width * scale, height * scale), WINDOW)
    vgradient(img, (0, 0, width, height), BODY_TOP, BODY_BOTTOM, scale)
    c = Canvas(img, scale)
    c.rectangle([0, 0, shown_width - 1, 26], fill=BAR)
    c.line([(0, 27), (shown_width - 1, 27)], fill=(40, 56, 170))
    return img, c


def background(scale=1):
    # The window shows only 399 x 299 pixels of the 400 x 300 picture.
    img, c = face(400, 300, 399, scale)
    # The bars for the two button rows.
    c.rectangle([0, 261, 398, 298], fill=BAR)
    c.line([(0, 260), (398, 260)], fill=SHADE)
    for x, y in TOP_BUTTONS.values():
        button_well(c, x, y, 19)
    for x, y in BOTTOM_BUTTONS.values():
        button_well(c, x, y, 27)
    grille(c, (198, 270, 348, 289))
    lettering(c, (66, 6), "TARNOVOX", 12, (170, 186, 240), spacing=2)
    lettering(c, (177, 9), "sound recorder", 8, CAPTION, bold=False, spacing=0)
    # The folder path runs along below the top bar; the panel holds the status
    # word, the format line, the file name and (boxed) the time.
    folder_glyph(c, 25, 30)
    recess(c, (10, 44, 390, 86), PANEL, radius=5)
    recess(c, (288, 48, 387, 80), (0, 0, 60), radius=3)
    for rect in DISPLAYS:
        display_frame(c, rect)
    lettering(c, (20, 216), "WAVEFORM", 7, CAPTION, spacing=1)
    lettering(c, (212, 216), "SPECTRUM", 7, CAPTION, spacing=1)
    # Window edge, last so nothing covers it.
    bevel(c, (0, 0, 399, 299), (96, 120, 236), (0, 0, 30))
    return img


def tag_background(scale=1):
    """The tag editor's 249 x 299 face: a caption bar with the close button's
    well, a recessed slot under each label for its field, the save button's well."""
    img, c = face(249, 299, 249, scale)
    button_well(c, 225, 5, 19)
    lettering(c, (8, 7), "ID3 TAG", 9, (170, 186, 240), spacing=1)
    # Field slots (left, top, width, height) one pixel around each field.
    for x, y, w, h in ((18, 29, 215, 16), (18, 78, 215, 15), (16, 122, 219, 21),
                       (18, 172, 215, 17), (18, 220, 215, 17), (18, 268, 113, 17)):
        recess(c, (x - 2, y - 2, x + w + 2, y + h + 2), (192, 192, 192))
    button_well(c, 200, 260, 27)
    bevel(c, (0, 0, 249, 299), (96, 120, 236), (0, 0, 30))
    return img


def file_list_background(scale=1):
    """The file list's 399 x 299 face: a caption bar for the file name, a
    recessed well around the grid, and a bottom bar with the slots of the
    position and volume bars and the tag button's well."""
    img, c = face(399, 299, 399, scale)
    # A small list glyph before the file name label at (32, 9).
    for i in range(3):
        c.rectangle([12, 9 + i * 4, 13, 10 + i * 4], fill=CAPTION)
        c.line([(16, 9 + i * 4), (24, 9 + i * 4)], fill=CAPTION)
    recess(c, (8, 30, 390, 264), PANEL, radius=4)
    c.rectangle([0, 262, 398, 298], fill=BAR)
    c.line([(0, 261), (398, 261)], fill=SHADE)
    recess(c, (18, 268, 237, 291), (0, 0, 60), radius=3)
    recess(c, (254, 268, 359, 291), (0, 0, 60), radius=3)
    button_well(c, 364, 265, 27)
    bevel(c, (0, 0, 399, 299), (96, 120, 236), (0, 0, 30))
    return img


def folder_glyph(c, x, y):
    """A small folder beside the folder path (drawn at 1:1)."""
    col = CAPTION
    c.rectangle([x, y + 2, x + 3, y + 3], fill=col)
    c.rectangle([x, y + 3, x + 12, y + 9], outline=col, fill=(30, 44, 150))


# --------------------------------------------------------------------------- buttons

def tile(size, hover):
    """The button body at SS times its size: a rounded, lit, slightly domed key."""
    big = size * SS
    img = Image.new("RGB", (big, big), BAR)
    d = ImageDraw.Draw(img)
    r = (4 if size < 20 else 5) * SS
    rim = (150, 196, 255) if hover else (0, 0, 40)
    top, bottom = ((78, 118, 246), (28, 58, 196)) if hover else ((44, 62, 180), (12, 20, 112))
    d.rounded_rectangle([0, 0, big - 1, big - 1], r, fill=rim)
    inner = Image.new("RGB", (big, big))
    vgradient(inner, (0, 0, big, big), top, bottom)
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle([SS, SS, big - 1 - SS, big - 1 - SS], r - SS, fill=255)
    img.paste(inner, (0, 0), mask)
    gloss = (150, 182, 255) if hover else (96, 116, 220)
    d.arc([SS, SS, big - 1 - SS, big // 2 + 2 * SS], 200, 340, fill=gloss, width=SS // 2)
    return img


class Pen:
    """Drawing helpers in output-pixel units on the supersampled tile."""

    def __init__(self, img, colour):
        self.d = ImageDraw.Draw(img)
        self.c = colour

    @staticmethod
    def s(v):
        return round(v * SS)

    def box(self, x0, y0, x1, y1, colour=None):
        self.d.rectangle([self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1], fill=colour or self.c)

    def rbox(self, x0, y0, x1, y1, r, colour=None, outline=None, width=0):
        self.d.rounded_rectangle([self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1], self.s(r),
                                 fill=colour, outline=outline, width=self.s(width))

    def disc(self, cx, cy, r, colour=None):
        self.d.ellipse([self.s(cx - r), self.s(cy - r), self.s(cx + r) - 1, self.s(cy + r) - 1],
                       fill=colour or self.c)

    def ring(self, cx, cy, r, w, colour=None):
        self.d.ellipse([self.s(cx - r), self.s(cy - r), self.s(cx + r) - 1, self.s(cy + r) - 1],
                       outline=colour or self.c, width=self.s(w))

    def poly(self, pts, colour=None):
        self.d.polygon([(self.s(x), self.s(y)) for x, y in pts], fill=colour or self.c)

    def line(self, pts, w, colour=None):
        self.d.line([(self.s(x), self.s(y)) for x, y in pts], fill=colour or self.c, width=self.s(w))

    def text(self, cx, cy, s, size, colour=None):
        f = font(self.s(size))
        self.d.text((self.s(cx), self.s(cy)), s, font=f, fill=colour or self.c, anchor="mm")


def sym_folder(p, hover):
    p.poly([(3.5, 5), (8, 5), (9.5, 6.5), (15.5, 6.5), (15.5, 14.5), (3.5, 14.5)])
    front = (150, 176, 236) if not hover else (210, 226, 255)
    p.poly([(5, 8.5), (17, 8.5), (15.5, 14.5), (3.5, 14.5)], front)


def sym_setting(p, hover):
    cx = cy = 9.5
    for i in range(8):
        a = i * math.pi / 4
        ca, sa = math.cos(a), math.sin(a)
        w = 1.3
        pts = [(cx + ca * 3 - sa * w, cy + sa * 3 + ca * w), (cx + ca * 6.6 - sa * w, cy + sa * 6.6 + ca * w),
               (cx + ca * 6.6 + sa * w, cy + sa * 6.6 - ca * w), (cx + ca * 3 + sa * w, cy + sa * 3 - ca * w)]
        p.poly(pts)
    p.disc(cx, cy, 5.0)
    p.disc(cx, cy, 2.0, (20, 34, 140) if not hover else (44, 84, 220))


def sym_help(p, hover):
    p.text(9.6, 9.8, "?", 13)


def sym_info(p, hover):
    p.ring(9.5, 9.5, 6.5, 1.4)
    p.disc(9.5, 6.2, 1.15)
    p.box(8.7, 8.2, 10.3, 13.3)


def sym_min(p, hover):
    p.box(5, 12, 14, 14)


def sym_close(p, hover):
    p.line([(5.3, 5.3), (13.7, 13.7)], 2.1)
    p.line([(5.3, 13.7), (13.7, 5.3)], 2.1)


def sym_control(p, hover):
    knob = SYMBOL_HOVER if hover else (236, 240, 255)
    for x, k in ((8, 15), (13.5, 9), (19, 13)):
        p.box(x - 0.5, 6, x + 0.5, 21, (110, 130, 210) if not hover else (170, 196, 255))
        p.rbox(x - 2.5, k - 1.5, x + 2.5, k + 1.5, 0.7, knob)


def sym_record(p, hover):
    p.disc(13.5, 13.5, 7.5, (60, 0, 10))
    p.disc(13.5, 13.5, 7.0, RED_HOVER if hover else RED)
    p.disc(11.3, 11.2, 2.2, (255, 170, 170) if hover else (246, 120, 120))


def sym_pause(p, hover):
    p.box(8.5, 7.5, 12, 19.5)
    p.box(15, 7.5, 18.5, 19.5)


def sym_stop(p, hover):
    p.box(8, 8, 19, 19)


def sym_play(p, hover):
    p.poly([(10, 7), (10, 20), (20, 13.5)], GREEN_HOVER if hover else GREEN)


def list_lines(p):
    for y in (5, 9, 13):
        p.box(6, y, 8, y + 2)
        p.box(10, y, 21, y + 2)


def sym_show(p, hover):
    list_lines(p)
    p.poly([(8, 17), (19, 17), (13.5, 22.5)])


def sym_hide(p, hover):
    list_lines(p)
    p.poly([(8, 22.5), (19, 22.5), (13.5, 17)])


def sym_tag(p, hover):
    p.poly([(6, 8), (6, 13.5), (14, 21.5), (21.5, 14), (13.5, 6), (8, 6)])
    p.disc(9.5, 9.5, 1.5, (20, 34, 140) if not hover else (44, 84, 220))


def sym_save(p, hover):
    hole = (20, 34, 140) if not hover else (44, 84, 220)
    p.poly([(6, 6), (18.5, 6), (21, 8.5), (21, 21), (6, 21)])
    p.box(9, 6, 17, 11, hole)
    p.box(14.5, 7, 16, 10)
    p.box(8.5, 14, 18.5, 21, hole)
    p.box(9.5, 15, 17.5, 21, (226, 232, 250))


SYMBOLS = {
    "ImageFolder": (19, sym_folder), "ImageSetting": (19, sym_setting), "ImageHelp": (19, sym_help),
    "ImageInfo": (19, sym_info), "ImageMin": (19, sym_min), "ImageClose": (19, sym_close),
    "ImageControl": (27, sym_control), "ImageRecord": (27, sym_record), "ImagePause": (27, sym_pause),
    "ImageStop": (27, sym_stop), "ImagePlay": (27, sym_play), "ImageShow": (27, sym_show),
    "ImageHide": (27, sym_hide), "ImageTag": (27, sym_tag), "ImageSave": (27, sym_save),
}


def button(name, hover, scale=1):
    size, draw = SYMBOLS[name]
    img = tile(size, hover)
    draw(Pen(img, SYMBOL_HOVER if hover else SYMBOL), hover)
    return img.resize((size * scale, size * scale), Image.Resampling.LANCZOS)


# --------------------------------------------------------------------------- icon and preview

def icon(size=256):
    big = size * 4
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([24, 24, big - 25, big - 25], 180, fill=(0, 0, 40, 255))
    inner = Image.new("RGBA", (big, big))
    vgradient(inner, (0, 0, big, big), (40, 64, 200), (0, 0, 120))
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle([40, 40, big - 41, big - 41], 164, fill=255)
    img.paste(inner, (0, 0), mask)
    # Level bars on the left, the record lamp on the right.
    for i, h in enumerate((220, 420, 320, 560, 380)):
        x = 150 + i * 84
        d.rounded_rectangle([x, 760 - h, x + 52, 760], 14, fill=(200, 214, 250, 255))
    d.ellipse([590, 400, 880, 690], fill=(60, 0, 10, 255))
    d.ellipse([602, 412, 868, 678], fill=RED + (255,))
    d.ellipse([645, 450, 745, 550], fill=(250, 140, 140, 255))
    d.rounded_rectangle([150, 800, 874, 840], 20, fill=(96, 120, 236, 255))
    return img.resize((size, size), Image.Resampling.LANCZOS)


def preview(skin_dir, path):
    bg = Image.open(os.path.join(skin_dir, "Background.gif")).convert("RGB").crop((0, 0, 399, 299))
    sheet = Image.new("RGB", (399, 299 + 8 + 2 * 31), (40, 40, 40))
    sheet.paste(bg, (0, 0))
    d = ImageDraw.Draw(sheet)
    silver, grey = (192, 192, 192), (128, 128, 128)
    small = font(9, bold=True)
    d.text((43, 29), "/home/user/Recordings", font=small, fill=silver)
    d.text((23, 57), "Monitoring", font=font(14), fill=grey)
    d.text((22, 56), "Monitoring", font=font(14), fill=(221, 221, 221))
    for x, s in ((120, "WAV"), (152, "44100 Hz"), (209, "16 bit"), (246, "stereo")):
        d.text((x, 48), s, font=small, fill=silver)
    d.text((118, 66), "record3.wav", font=small, fill=(255, 128, 128))
    d.text((297, 53), "00:01:05", font=font(19, bold=False), fill=grey)
    d.text((296, 52), "00:01:05", font=font(19, bold=False), fill=(221, 221, 221))
    for name, (x, y) in {**TOP_BUTTONS, **BOTTOM_BUTTONS}.items():
        sheet.paste(Image.open(os.path.join(skin_dir, name + "1.gif")).convert("RGB"), (x, y))
    # Below the window: every pair, normal above hover, on the bar colour.
    d.rectangle([0, 303, 398, sheet.height - 1], fill=BAR)
    x = 6
    for name in SYMBOLS:
        for n in (1, 2):
            pic = Image.open(os.path.join(skin_dir, f"{name}{n}.gif")).convert("RGB")
            sheet.paste(pic, (x, 307 + (n - 1) * 31 + (27 - pic.height) // 2))
        x += 22 if SYMBOLS[name][0] == 19 else 28
    big = sheet.resize((sheet.width * 2, sheet.height * 2), Image.Resampling.NEAREST)
    big.save(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=here, help="folder for the GIFs")
    ap.add_argument("--icon", default=os.path.join(here, "..", "..", "data", "tarnovox.png"))
    ap.add_argument("--preview", help="also write a preview PNG (window and every hover picture)")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        to_gif(background(scale), os.path.join(args.out, f"Background{suffix}.gif"), 64)
        to_gif(tag_background(scale), os.path.join(args.out, f"ImageFormTag{suffix}.gif"), 64)
        to_gif(file_list_background(scale), os.path.join(args.out, f"FileList{suffix}.gif"), 64)
        for name in SYMBOLS:
            for n, hover in ((1, False), (2, True)):
                to_gif(button(name, hover, scale), os.path.join(args.out, f"{name}{n}{suffix}.gif"), 48)
    if args.icon:
        os.makedirs(os.path.dirname(os.path.abspath(args.icon)), exist_ok=True)
        icon().save(args.icon, optimize=True)
    if args.preview:
        preview(args.out, args.preview)


if __name__ == "__main__":
    main()
