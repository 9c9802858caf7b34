"""Demo data shared by the pages."""
from __future__ import annotations

FRUITS = ["Apple", "Banana", "Cherry", "Grape", "Mango", "Orange", "Pear", "Pineapple", "Strawberry", "Watermelon"]

COUNTRIES = [
    {"value": "vn", "label": "Vietnam"},
    {"value": "jp", "label": "Japan"},
    {"value": "fr", "label": "France"},
    {"value": "br", "label": "Brazil"},
    {"value": "ca", "label": "Canada"},
    {"value": "ke", "label": "Kenya", "disabled": True},
    {"value": "nz", "label": "New Zealand"},
    {"value": "gb", "label": "United Kingdom of Great Britain and Northern Ireland"},
]


def country_label(option) -> str:
    return option["label"] if isinstance(option, dict) else str(option)


def country_disabled(option) -> bool:
    return isinstance(option, dict) and bool(option.get("disabled"))


MANY = [f"Option {i:05d}" for i in range(10_000)]
