"""Test support for development builds only: a widget class defined from C++.

CMake installs this package as ``vantu._testing`` when ``VANTU_TESTING`` is on (``scripts/dev``
turns it on); a plain ``pip install .`` and the wheel leave it out."""
