"""``SelectGetterMixin``: reads flags that may be plain values or ``State`` objects."""
from __future__ import annotations

from typing import Any

from vantu.hooks import State

__all__ = ["SelectGetterMixin"]


def _resolve(value: Any) -> Any:
    return value.value if isinstance(value, State) else value


class SelectGetterMixin:
    """Current error and open flags of a select field."""

    def __init__(self, **_ignored: Any) -> None:
        pass

    def _getError(self) -> bool:
        """The error flag, with a ``State`` read through."""
        return bool(_resolve(getattr(self, "_error", False)))

    def _getOpen(self) -> bool:
        """The open flag, with a ``State`` read through."""
        return bool(_resolve(getattr(self, "_open", False)))
