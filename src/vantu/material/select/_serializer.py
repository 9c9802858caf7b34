"""``SelectSerializer``: turns the select field's keyword arguments into its attributes."""
from __future__ import annotations

from typing import Any, ClassVar

from vantu.hooks import State

__all__ = ["SelectSerializer"]

_MISSING = object()


class SelectSerializer:
    """Maps each keyword argument ``name`` to the attribute ``_name``, with checked values.

    Unknown keywords (``ctx`` and the like) are left to the class that uses the mixin.
    """

    VALID_COLORS: ClassVar[list[str]] = ["primary", "secondary", "error", "info", "success", "warning"]
    VALID_MARGINS: ClassVar[list[str]] = ["dense", "none", "normal"]
    VALID_SIZES: ClassVar[list[str]] = ["medium", "small"]
    VALID_VARIANTS: ClassVar[list[str]] = ["filled", "outlined", "standard"]

    DEFAULTS: ClassVar[dict[str, Any]] = {
        "options": None,  # a fresh list per field
        "label": None,
        "placeholder": None,
        "multiple": False,
        "value": None,
        "defaultValue": None,
        "renderTags": None,
        "renderValue": None,
        "renderOption": None,
        "getOptionLabel": None,
        "getOptionDisabled": None,
        "disabled": False,
        "readOnly": False,
        "required": False,
        "hiddenLabel": False,
        "fullWidth": False,
        "sx": None,
        "error": False,
        "hovered": False,
        "onChange": None,
        "open": False,
        "variant": "outlined",
        "size": "medium",
        "color": None,
        "margin": None,
    }
    """Every configuration keyword and the value it takes when absent."""

    _options: Any = ()
    _label: Any = None
    _placeholder: Any = None
    _multiple: Any = False
    _value: Any = None
    _defaultValue: Any = None
    _renderTags: Any = None
    _renderValue: Any = None
    _renderOption: Any = None
    _getOptionLabel: Any = None
    _getOptionDisabled: Any = None
    _disabled: Any = False
    _readOnly: Any = False
    _required: Any = False
    _hiddenLabel: Any = False
    _fullWidth: Any = False
    _sx: Any = None
    _error: Any = False
    _hovered: Any = False
    _onChange: Any = None
    _open: Any = False
    _variant: Any = "outlined"
    _size: Any = "medium"
    _color: Any = None
    _margin: Any = None

    _CALLABLES: ClassVar[tuple[str, ...]] = ("renderTags", "renderValue", "getOptionLabel", "getOptionDisabled")

    def __init__(self, **kwargs: Any) -> None:
        # Defaults live on the class (see below), so a call without arguments, as Qt's
        # cooperative constructor makes, costs nothing. Everything given is checked before
        # anything is stored, so a refused argument leaves no attribute behind.
        given = {name: kwargs[name] for name in self.DEFAULTS if name in kwargs}
        if not given:
            if "_options" not in self.__dict__:
                self._options = []
            return
        values = dict(self.DEFAULTS)
        values.update(given)
        if values["options"] is None:
            values["options"] = []
        self._check(values)
        if isinstance(values["sx"], dict):
            values["sx"] = dict(values["sx"])  # the field adds entries; the caller's dict stays as given
        if "options" not in given:
            given["options"] = []
        for name, value in given.items():
            setattr(self, "_" + name, values[name])

    @classmethod
    def _check(cls, values: dict[str, Any]) -> None:
        options = values["options"]
        if not isinstance(options, (list, tuple)):
            raise TypeError(f"SelectBase: 'options' must be a list or tuple of options, got {type(options).__name__}")
        # Plain texts and dicts (nearly always the case) need no walk with an index.
        kinds = {type(option) for option in options}
        for index, option in enumerate(options if not kinds <= {str, dict} else ()):
            if not isinstance(option, (str, dict)):
                raise TypeError(
                    f"SelectBase: 'options' items must be texts or dicts; item {index} is {type(option).__name__}"
                )
        for name, allowed in (
            ("variant", cls.VALID_VARIANTS),
            ("size", cls.VALID_SIZES),
            ("color", cls.VALID_COLORS),
            ("margin", cls.VALID_MARGINS),
        ):
            value = values[name]
            if value is None and name in ("color", "margin"):
                continue
            if value not in allowed:
                raise ValueError(f"SelectBase: '{name}' must be one of {', '.join(allowed)}; got {value!r}")
        for name in cls._CALLABLES:
            fn = values[name]
            if fn is not None and fn is not False and not callable(fn):
                raise TypeError(f"SelectBase: '{name}' must be callable, got {type(fn).__name__}")
        render = values["renderOption"]
        if render is not None and render is not False and not callable(render) and not isinstance(render, State):
            raise TypeError(f"SelectBase: 'renderOption' must be callable or a State, got {type(render).__name__}")
        sx = values["sx"]
        if sx is not None and not isinstance(sx, dict):
            raise TypeError(f"SelectBase: 'sx' must be a dict of style entries, got {type(sx).__name__}")
        if values["multiple"] and values["defaultValue"] is not None and not isinstance(values["defaultValue"], State):
            default = values["defaultValue"]
            if not isinstance(default, (list, tuple)):
                raise TypeError(
                    f"SelectBase: 'defaultValue' of a multiple select must be a list of options, got {type(default).__name__}"
                )
