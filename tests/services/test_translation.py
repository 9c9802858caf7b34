"""Language switching, catalogue lookups and getTranslatedText."""
import pytest

from vantu.i18n import TRANSLATIONS, add_translations, i18n, set_language, translate
from vantu.i18n.use_translation import i18n as i18n_from_module
from vantu.utils.translator import getTranslatedText


@pytest.fixture(autouse=True)
def english_first():
    set_language("en")
    yield
    set_language("en")


class TestLookup:
    @pytest.mark.parametrize(
        ("text", "english", "vietnamese"),
        [
            ("Select", "Select", "Chọn"),
            ("No options", "No options", "Không có lựa chọn"),
            ("Fruits", "Fruits", "Trái cây"),
            ("not in any catalogue", "not in any catalogue", "not in any catalogue"),
            (None, "", ""),
            (42, "42", "42"),
        ],
    )
    def test_text_in_each_language(self, text, english, vietnamese):
        assert getTranslatedText(text) == english
        set_language("vi")
        assert getTranslatedText(text) == vietnamese
        assert translate(text) == vietnamese
        assert i18n.translate(text) == vietnamese

    def test_both_languages_cover_the_same_words(self):
        assert TRANSLATIONS["en"].keys() == TRANSLATIONS["vi"].keys()
        for word in ("Choose an option", "Loading...", "Required", "Clear", "Open", "Close",
                     "Search", "Name", "Email", "Country", "City", "Date", "Helper text",
                     "Error", "Light", "Dark", "English", "Vietnamese"):
            assert word in TRANSLATIONS["vi"]


    def test_every_word_the_library_shows_by_itself_has_a_vietnamese_text(self):
        """Literal texts handed to the translation calls anywhere in the library (components,
        C++ modules, gallery) and the components' text constants."""
        import pathlib
        import re

        from vantu.gallery import texts

        texts.install()
        root = pathlib.Path(__file__).parents[2] / "src"
        # translate("A"), and translate("A" if ... else "B")
        call = re.compile(r'(?:getTranslatedText|translate)\(\s*"([^"]+)"(?:[^\n]*? else "([^"]+)")?')
        constant = re.compile(r'^[A-Z_]*TEXT[A-Z_]* = "([^"]+)"', re.M)
        words = set()
        for path in [*root.rglob("*.py"), *root.rglob("*.cpp")]:
            source = path.read_text()
            for match in call.finditer(source):
                words.update(w for w in match.groups() if w)
            words.update(constant.findall(source))
        assert {"No options", "Loading...", "Choose date", "Build again"} <= words
        missing = sorted(w for w in words if w not in TRANSLATIONS["vi"])
        assert not missing, missing


class TestSwitching:
    def test_lang_changed_follows_real_switches_only(self, qtbot):
        assert i18n is i18n_from_module
        seen = []
        i18n.langChanged.connect(seen.append)
        try:
            set_language("vi")
            set_language("vi")
            i18n.lang = "en"
        finally:
            i18n.langChanged.disconnect(seen.append)
        assert seen == ["vi", "en"]
        assert i18n.lang == "en"

    def test_signal_arrives_after_the_switch(self, qtbot):
        texts = []
        handler = lambda lang: texts.append((lang, getTranslatedText("Close")))
        i18n.langChanged.connect(handler)
        try:
            set_language("vi")
        finally:
            i18n.langChanged.disconnect(handler)
        assert texts == [("vi", "Đóng")]

    @pytest.mark.parametrize("lang", ["fr", "", "EN"])
    def test_unknown_language_is_refused_and_nothing_changes(self, lang):
        set_language("vi")
        with pytest.raises(ValueError, match=r"'lang'.*'en', 'vi'"):
            set_language(lang)
        assert i18n.lang == "vi"

    def test_non_text_language_is_a_type_error(self):
        with pytest.raises(TypeError, match="'lang'"):
            set_language(None)


class TestAddedCatalogues:
    def test_added_words_and_languages(self, qtbot):
        add_translations("vi", {"Gallery": "Bộ sưu tập"})
        add_translations("xx-test", {"Select": "Pick"})
        try:
            set_language("xx-test")
            assert getTranslatedText("Select") == "Pick"
            set_language("vi")
            assert getTranslatedText("Gallery") == "Bộ sưu tập"
            with qtbot.waitSignal(i18n.langChanged) as blocker:
                add_translations("vi", {"Gallery": "Thư viện"})
            assert blocker.args == ["vi"]
            assert getTranslatedText("Gallery") == "Thư viện"
        finally:
            set_language("en")
            TRANSLATIONS.pop("xx-test", None)
            TRANSLATIONS["vi"].pop("Gallery", None)

    def test_bad_entries_leave_catalogue_untouched(self):
        before = dict(TRANSLATIONS["vi"])
        with pytest.raises(TypeError, match="'entries'"):
            add_translations("vi", {"A": "a", "B": 2})
        assert TRANSLATIONS["vi"] == before
