"""Starts the gallery. Without a display (or with --screenshot DIR) it runs offscreen,
saves a PNG of every page and every popup, in both themes, both languages and both directions,
into DIR and exits. The file names carry the scale ("@1x", "@2x": ``QT_SCALE_FACTOR`` or
``--scale``), so the shots of several scales can share a folder."""
from __future__ import annotations

import argparse
import os
import sys
from pathlib import Path

DEFAULT_SHOTS = Path("screenshots") / "gallery"


def _has_display() -> bool:
    return bool(os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY")) or sys.platform in ("win32", "darwin")


def _scale() -> float:
    try:
        return max(1.0, float(os.environ.get("QT_SCALE_FACTOR") or 1))
    except ValueError:
        return 1.0


def _offscreen_screen() -> str:
    """A screen larger than the window at any scale, so popups are placed as on a desktop (the
    offscreen platform's own screen is 800x600, smaller than the gallery)."""
    import json
    import tempfile

    scale = _scale()
    config = {"screens": [{"name": "gallery", "x": 0, "y": 0, "width": round(1600 * scale),
                           "height": round(1000 * scale), "logicalDpi": 96, "dpr": 1}]}
    with tempfile.NamedTemporaryFile("w", suffix=".json", prefix="vantu-screen-", delete=False) as f:
        json.dump(config, f)
    return f.name


def _quiet_offscreen(mode, context, message: str) -> None:
    # The offscreen platform warns about window features it lacks; nothing a user can act on.
    if "does not support" in message:
        return
    sys.stderr.write(message + "\n")


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m vantu.gallery", description=__doc__)
    parser.add_argument("--screenshot", metavar="DIR", type=Path, default=None,
                        help=f"run offscreen, save a PNG per page and popup into DIR and exit (default without a display: {DEFAULT_SHOTS})")
    parser.add_argument("--scale", metavar="FACTOR", type=float, default=None,
                        help="scale the whole gallery by FACTOR (sets QT_SCALE_FACTOR)")
    parser.add_argument("--look", metavar="THEME-LANG-DIR", action="append", default=None,
                        help="only this look for the screenshots, e.g. dark-vi-rtl (may be repeated; default: all eight)")
    args = parser.parse_args(argv)
    if args.scale is not None:
        if args.scale <= 0:
            parser.error("--scale must be positive")
        os.environ["QT_SCALE_FACTOR"] = f"{args.scale:g}"
    looks = None
    if args.look:
        from vantu.gallery.window import SHOT_LOOKS

        looks = []
        for text in args.look:
            look = tuple(text.split("-"))
            if look not in SHOT_LOOKS:
                parser.error(f"--look {text!r}: expected THEME-LANG-DIR among "
                             + ", ".join("-".join(k) for k in SHOT_LOOKS))
            looks.append(look)

    shots = args.screenshot
    # No display to show a window on: an event loop would wait forever (QT_QPA_PLATFORM=offscreen
    # set by a CI job, say), so save the screenshots and exit whatever the platform asked for.
    if shots is None and not _has_display():
        shots = DEFAULT_SHOTS
    if shots is not None:
        os.environ["QT_QPA_PLATFORM"] = "offscreen:configfile=" + _offscreen_screen()

    from PySide6.QtCore import qInstallMessageHandler
    from PySide6.QtWidgets import QApplication

    from vantu.gallery.window import GalleryWindow

    if shots is not None:
        qInstallMessageHandler(_quiet_offscreen)

    app = QApplication.instance() or QApplication(sys.argv[:1])
    app.setApplicationName("vantu gallery")
    window = GalleryWindow()
    app.mainWindow = window
    window.show()
    if shots is not None:
        saved = window.save_screenshots(shots, looks) if looks else window.save_screenshots(shots)
        print(f"saved {len(saved)} screenshots into {shots.resolve()}")
        for path in saved:
            print(f"  {path.name}")
        window.close()
        return 0
    return app.exec()


if __name__ == "__main__":
    sys.exit(main())
