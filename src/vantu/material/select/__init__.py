"""The select field. ``SelectBase`` lives in the native module ``pickcore``, loaded on first use."""
from __future__ import annotations

from typing import Any

__all__ = ["SelectBase", "MenuView", "HeightItem"]


def __getattr__(name: str) -> Any:
    if name in __all__:
        from vantu.material.select import pickcore

        return getattr(pickcore, name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
