"""The theme service: ``useTheme``, the light/dark switch, ``get_qss_style`` and ``apply_theme``."""
import vantu.material._lifetime  # noqa: F401  (every component imports the theme)
from vantu.material.styles.app_theme import ThemeFollower, apply_theme
from vantu.material.styles.palette import COLOR_NAMES, DARK_PALETTE, LIGHT_PALETTE, TYPOGRAPHY
from vantu.material.styles.qss import get_qss_style
from vantu.material.styles.theme import THEME_MODES, Theme, set_theme_mode, toggle_theme_mode, useTheme

__all__ = [
    "COLOR_NAMES",
    "DARK_PALETTE",
    "LIGHT_PALETTE",
    "THEME_MODES",
    "TYPOGRAPHY",
    "Theme",
    "ThemeFollower",
    "apply_theme",
    "get_qss_style",
    "set_theme_mode",
    "toggle_theme_mode",
    "useTheme",
]
