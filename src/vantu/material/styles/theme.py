"""The application theme: one shared ``Theme`` object and its light/dark switch."""
from __future__ import annotations

from typing import Any

from vantu.hooks.use_state import State
from vantu.material.styles.components import build_components
from vantu.material.styles.palette import COLOR_NAMES, PALETTES, SHAPE, TYPOGRAPHY

__all__ = ["Theme", "THEME_MODES", "useTheme", "set_theme_mode", "toggle_theme_mode"]

THEME_MODES: tuple[str, ...] = ("light", "dark")


def _check_mode(mode: Any) -> str:
    if type(mode) is not str or mode not in THEME_MODES:
        allowed = ", ".join(repr(m) for m in THEME_MODES)
        raise ValueError(f"'mode' must be one of {allowed}, got {mode!r}")
    return mode


class Theme:
    """Colours, type and shape of the application, plus the per-component style functions.

    Attributes:
        mode: "light" or "dark".
        palette: the colours of the current mode (see ``palette.LIGHT_PALETTE``).
        typography: font family and type scale (sizes in px).
        shape: ``{"borderRadius": 4}``.
        state: a ``State`` whose value is the mode; it changes on every switch,
            so ``useEffect(refresh, [theme.state], component=w)`` restyles ``w``.
        components: component key -> ``{"styles": {slot: style function}}``.
    """

    def __init__(self, mode: str = "light") -> None:
        self.mode: str = _check_mode(mode)
        self.palette: dict[str, Any] = PALETTES[mode]
        self.typography: dict[str, Any] = TYPOGRAPHY
        self.shape: dict[str, int] = SHAPE
        self.state: State = State(mode)
        self.components: dict[str, dict[str, Any]] = build_components(self)

    def resolve_color(self, color: str | None, shade: str = "main") -> str:
        """Return the QSS colour for a component's ``color``.

        ``None`` means primary; a palette name gives its ``shade``; any other
        text is taken as a colour already ("#FF0000", "red").
        """
        if color is None:
            color = "primary"
        entry = self.palette.get(color) if color in COLOR_NAMES else None
        if entry is not None:
            return entry[shade]
        return color

    def contrast_text(self, color: str | None) -> str:
        """Text colour readable on the ``main`` shade of ``color`` (primary when unknown)."""
        if color is None or color not in COLOR_NAMES:
            color = "primary"
        return self.palette[color]["contrastText"]

    def spacing(self, *factors: float) -> str:
        """Material spacing (8 px units) as QSS text: ``spacing(1, 2)`` -> "8px 16px"."""
        return " ".join(f"{f * 8:g}px" for f in factors) if factors else "8px"

    def set_mode(self, mode: str) -> None:
        """Switch to ``mode``; ``state`` changes last, so effects see the new palette."""
        _check_mode(mode)
        if mode == self.mode:
            return
        self.mode = mode
        self.palette = PALETTES[mode]
        self.state.setValue(mode)

    def __repr__(self) -> str:
        return f"<Theme mode={self.mode!r}>"


_theme = Theme()


def useTheme() -> Theme:
    """Return the application's theme (always the same object)."""
    return _theme


def set_theme_mode(mode: str) -> None:
    """Switch the application theme to "light" or "dark"."""
    _theme.set_mode(mode)


def toggle_theme_mode() -> str:
    """Switch between light and dark; return the new mode."""
    _theme.set_mode("dark" if _theme.mode == "light" else "light")
    return _theme.mode
