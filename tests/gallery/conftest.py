"""The gallery and the README's quick start make the application follow the theme; later tests
get their application back as it was."""
import pytest

from vantu.material.styles import ThemeFollower


@pytest.fixture(autouse=True)
def application_left_as_found(qapp):
    yield
    for follower in qapp.findChildren(ThemeFollower):
        follower.remove()
