"""Every card the panel shows, drawn on a real display by the gallery program, which drives
a real state manager through each phase and leaves one picture per card in the screens
folder for a person to look at."""

import os
import subprocess

import harness
from polling import check


def gallery_of_cards(session):
    gallery = os.environ["VANTORY_GALLERY"]
    result = subprocess.run([gallery, session.options.screens], env=session.env, capture_output=True, text=True,
                            timeout=90)
    check(result.returncode == 0, f"the gallery failed ({result.returncode}): {result.stderr[-2000:]}")
    warnings = harness.qt_warnings(result.stderr)
    check(not warnings, "the gallery logged Qt warnings:\n  " + "\n  ".join(warnings))
    pictures = [name for name in os.listdir(session.options.screens) if name.endswith(".png")]
    check(len(pictures) > 0, "the gallery left no pictures")
    print(result.stdout)


harness.main(gallery_of_cards)
