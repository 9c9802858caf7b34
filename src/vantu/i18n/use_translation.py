"""The application language and the text catalogues.

Keys are the English texts themselves, so an untranslated text still reads
well. ``TRANSLATIONS`` maps a language code to its catalogue; applications
add their own words with ``add_translations`` (or by editing the dicts).
"""
from __future__ import annotations

from collections.abc import Mapping
from typing import Any

from PySide6.QtCore import QObject, Signal

__all__ = [
    "SUPPORTED_LANGUAGES",
    "TRANSLATIONS",
    "Translator",
    "add_translations",
    "i18n",
    "set_language",
    "translate",
]

_VI: dict[str, str] = {
    # Field furniture
    "Select": "Chọn",
    "Choose an option": "Chọn một mục",
    "No options": "Không có lựa chọn",
    "Loading...": "Đang tải...",
    "Choose date": "Chọn ngày",
    "Choose time": "Chọn giờ",
    "Choose date and time": "Chọn ngày và giờ",
    "Remove": "Gỡ bỏ",
    "Remove %1": "Gỡ %1",
    "Delete": "Xóa",
    "Clear all": "Xóa tất cả",
    "Show options": "Hiện lựa chọn",
    "Hide options": "Ẩn lựa chọn",
    # Date picker
    "Select date": "Chọn ngày",
    "Enter date": "Nhập ngày",
    "Invalid date": "Ngày không hợp lệ",
    "Previous month": "Tháng trước",
    "Next month": "Tháng sau",
    "Choose year": "Chọn năm",
    "Select year": "Chọn năm",
    "Now": "Bây giờ",
    "January": "Tháng 1",
    "February": "Tháng 2",
    "March": "Tháng 3",
    "April": "Tháng 4",
    "May": "Tháng 5",
    "June": "Tháng 6",
    "July": "Tháng 7",
    "August": "Tháng 8",
    "September": "Tháng 9",
    "October": "Tháng 10",
    "November": "Tháng 11",
    "December": "Tháng 12",
    "Mon": "T2",
    "Tue": "T3",
    "Wed": "T4",
    "Thu": "T5",
    "Fri": "T6",
    "Sat": "T7",
    "Sun": "CN",
    "Select time": "Chọn giờ",
    "Select date and time": "Chọn ngày và giờ",
    "Invalid time": "Giờ không hợp lệ",
    "Invalid date and time": "Ngày giờ không hợp lệ",
    "{month} {year}": "{month} năm {year}",
    "{weekday}, {month} {day}": "{weekday}, {day} {month}",
    "{weekday}, {month} {day}, {year}": "{weekday}, {day} {month} năm {year}",
    "Remove {label}": "Gỡ bỏ {label}",
    "Required": "Bắt buộc",
    "This field is required": "Trường này là bắt buộc",
    "Clear": "Xóa",
    "Open": "Mở",
    "Close": "Đóng",
    "Search": "Tìm kiếm",
    "Search...": "Tìm kiếm...",
    "Helper text": "Văn bản hướng dẫn",
    "Error": "Lỗi",
    "Invalid value": "Giá trị không hợp lệ",
    "Placeholder": "Gợi ý",
    "Label": "Nhãn",
    "Value": "Giá trị",
    "None": "Không có",
    "All": "Tất cả",
    "Other": "Khác",
    "Yes": "Có",
    "No": "Không",
    "OK": "Đồng ý",
    "Cancel": "Hủy",
    "Save": "Lưu",
    "Submit": "Gửi",
    "Reset": "Đặt lại",
    "Disabled": "Vô hiệu",
    "Outlined": "Viền",
    "Filled": "Nền",
    "Standard": "Tiêu chuẩn",
    "Small": "Nhỏ",
    "Medium": "Vừa",
    "Large": "Lớn",
    # Form fields
    "Name": "Tên",
    "First name": "Tên",
    "Last name": "Họ",
    "Full name": "Họ và tên",
    "Email": "Email",
    "Password": "Mật khẩu",
    "Phone": "Điện thoại",
    "Address": "Địa chỉ",
    "Age": "Tuổi",
    "Country": "Quốc gia",
    "City": "Thành phố",
    "Fruits": "Trái cây",
    "Fruit": "Trái cây",
    "Color": "Màu sắc",
    "Colors": "Màu sắc",
    "Size": "Kích thước",
    "Tags": "Thẻ",
    "Date": "Ngày",
    "Time": "Giờ",
    "Notes": "Ghi chú",
    "Description": "Mô tả",
    "Language": "Ngôn ngữ",
    "Theme": "Giao diện",
    # Theme and language switches
    "Light": "Sáng",
    "Dark": "Tối",
    "English": "Tiếng Anh",
    "Vietnamese": "Tiếng Việt",
    # Fruits
    "Apple": "Táo",
    "Banana": "Chuối",
    "Orange": "Cam",
    "Mango": "Xoài",
    "Grape": "Nho",
    "Strawberry": "Dâu tây",
    "Pineapple": "Dứa",
    "Watermelon": "Dưa hấu",
    "Cherry": "Anh đào",
    "Lemon": "Chanh",
    "Peach": "Đào",
    "Pear": "Lê",
    "Coconut": "Dừa",
    "Durian": "Sầu riêng",
    "Lychee": "Vải",
    "Papaya": "Đu đủ",
    "Guava": "Ổi",
    "Dragon fruit": "Thanh long",
    # Countries
    "Vietnam": "Việt Nam",
    "United States": "Hoa Kỳ",
    "United Kingdom": "Vương quốc Anh",
    "Japan": "Nhật Bản",
    "South Korea": "Hàn Quốc",
    "China": "Trung Quốc",
    "France": "Pháp",
    "Germany": "Đức",
    "Italy": "Ý",
    "Spain": "Tây Ban Nha",
    "Canada": "Canada",
    "Australia": "Úc",
    "Thailand": "Thái Lan",
    "Singapore": "Singapore",
    "India": "Ấn Độ",
    "Brazil": "Brazil",
    # Cities
    "Hanoi": "Hà Nội",
    "Ho Chi Minh City": "Thành phố Hồ Chí Minh",
    "Da Nang": "Đà Nẵng",
    "Hue": "Huế",
    "Hai Phong": "Hải Phòng",
    "Can Tho": "Cần Thơ",
    "Tokyo": "Tokyo",
    "Paris": "Paris",
    "London": "Luân Đôn",
    "New York": "New York",
    "Berlin": "Berlin",
    "Seoul": "Seoul",
    "Bangkok": "Băng Cốc",
    # Colours
    "Red": "Đỏ",
    "Green": "Xanh lá",
    "Blue": "Xanh dương",
    "Yellow": "Vàng",
    "Purple": "Tím",
    "Black": "Đen",
    "White": "Trắng",
    "Gray": "Xám",
    "Pink": "Hồng",
    "Brown": "Nâu",
    # Days and months
    "Monday": "Thứ Hai",
    "Tuesday": "Thứ Ba",
    "Wednesday": "Thứ Tư",
    "Thursday": "Thứ Năm",
    "Friday": "Thứ Sáu",
    "Saturday": "Thứ Bảy",
    "Sunday": "Chủ Nhật",
    "Today": "Hôm nay",
    "Yesterday": "Hôm qua",
    "Tomorrow": "Ngày mai",
    "Option 1": "Lựa chọn 1",
    "Option 2": "Lựa chọn 2",
    "Option 3": "Lựa chọn 3",
}

TRANSLATIONS: dict[str, dict[str, str]] = {
    # Keys are English already; the English catalogue lists the vocabulary.
    "en": {key: key for key in _VI},
    "vi": _VI,
}
"""Catalogue per language code: key (English text) -> displayed text."""

SUPPORTED_LANGUAGES: tuple[str, ...] = ("en", "vi")
"""The languages shipped with the library; ``TRANSLATIONS`` may hold more."""


def _check_lang(lang: Any) -> str:
    if not isinstance(lang, str):
        raise TypeError(f"'lang' must be a language code (str), got {type(lang).__name__}")
    if lang not in TRANSLATIONS:
        allowed = ", ".join(repr(code) for code in TRANSLATIONS)
        raise ValueError(f"'lang' must be one of {allowed}, got {lang!r}")
    return lang


class Translator(QObject):
    """The application's language; ``langChanged(lang)`` follows every switch."""

    langChanged = Signal(str)

    def __init__(self, lang: str = "en", parent: QObject | None = None) -> None:
        super().__init__(parent)
        self._lang = _check_lang(lang)
        self._catalogue = TRANSLATIONS[lang]

    @property
    def lang(self) -> str:
        """The current language code."""
        return self._lang

    @lang.setter
    def lang(self, lang: str) -> None:
        self.set_language(lang)

    def set_language(self, lang: str) -> None:
        """Switch to ``lang`` and emit ``langChanged`` if it is a new language."""
        _check_lang(lang)
        if lang == self._lang:
            return
        self._lang = lang
        self._catalogue = TRANSLATIONS[lang]
        self.langChanged.emit(lang)

    def translate(self, key: Any) -> str:
        """Return ``key`` in the current language (``""`` for ``None``)."""
        if key is None:
            return ""
        if type(key) is not str:
            key = str(key)
        return self._catalogue.get(key, key)


i18n = Translator()
"""The one language object the components listen to."""


def translate(key: Any) -> str:
    """Return ``key`` in the current language; unknown keys come back unchanged."""
    if key is None:
        return ""
    if type(key) is not str:
        key = str(key)
    return i18n._catalogue.get(key, key)


def set_language(lang: str) -> None:
    """Switch the application language ("en", "vi", or any added catalogue)."""
    i18n.set_language(lang)


def add_translations(lang: str, entries: Mapping[str, str]) -> None:
    """Add or replace catalogue entries for ``lang`` (a new code adds a language).

    When ``lang`` is the current language, ``langChanged`` is emitted so that
    shown labels pick up the new texts.
    """
    if not isinstance(lang, str) or not lang:
        raise TypeError(f"'lang' must be a non-empty language code (str), got {lang!r}")
    if not isinstance(entries, Mapping):
        raise TypeError(f"'entries' must be a mapping of str to str, got {type(entries).__name__}")
    for key, text in entries.items():
        if not isinstance(key, str) or not isinstance(text, str):
            raise TypeError(f"'entries' must map str to str; bad entry {key!r}: {text!r}")
    TRANSLATIONS.setdefault(lang, {}).update(entries)
    if lang == i18n.lang:
        i18n.langChanged.emit(lang)
