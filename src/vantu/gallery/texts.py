"""The gallery's own texts in Vietnamese (English texts are their own keys)."""
from __future__ import annotations

from vantu.i18n.use_translation import add_translations

VIETNAMESE = {
    "vantu gallery": "Thư viện vantu",
    "Entry box": "Ô nhập liệu",
    "Deferred content": "Nội dung tải dần",
    "Foundations": "Nền tảng",
    "Colours": "Màu sắc",
    "Icons": "Biểu tượng",
    "Translated texts": "Văn bản đã dịch",
    "Single choice": "Chọn một",
    "Multiple choice": "Chọn nhiều",
    "States": "Trạng thái",
    "Variants and sizes": "Kiểu dáng và kích thước",
    "Driven by a State": "Điều khiển bằng State",
    "Ten thousand options": "Mười nghìn lựa chọn",
    "Near the bottom of the window": "Gần đáy cửa sổ",
    "Variants": "Kiểu dáng",
    "Helper text and errors": "Văn bản trợ giúp và lỗi",
    "As a select": "Dùng như ô chọn",
    "Fruits, a list of texts": "Trái cây, một danh sách chuỗi",
    "Countries: options as mappings, one disabled": "Quốc gia: lựa chọn dạng từ điển, một mục bị tắt",
    "With a default value": "Có giá trị mặc định",
    "Chosen options as removable tags": "Mục đã chọn hiện thành thẻ có thể xoá",
    "Chosen options as rendered text": "Mục đã chọn hiện thành văn bản",
    "Disabled": "Vô hiệu",
    "Read-only": "Chỉ đọc",
    "Required": "Bắt buộc",
    "Error": "Lỗi",
    "The button changes the State; the field follows": "Nút thay đổi State; ô chọn đi theo",
    "Next country": "Quốc gia tiếp theo",
    "A long list stays quick to open and scroll": "Danh sách dài vẫn mở và cuộn nhanh",
    "Its list opens above it when there is no room below": "Danh sách mở phía trên khi bên dưới không đủ chỗ",
    "Helper text from a State": "Văn bản trợ giúp từ một State",
    "Change helper text": "Đổi văn bản trợ giúp",
    "Single choice as a select": "Chọn một",
    "Several choices as tags; type to narrow the list": "Chọn nhiều dạng thẻ; gõ để lọc danh sách",
    "A date input": "Ô nhập ngày",
    "Your full name": "Họ và tên của bạn",
    "We never share your email": "Chúng tôi không chia sẻ email của bạn",
    "Used to sign in": "Dùng để đăng nhập",
    "Enter a valid email address": "Hãy nhập địa chỉ email hợp lệ",
    "Where you live": "Nơi bạn sống",
    "Build again": "Dựng lại",
    "Building the page in chunks: {done} of {count}...": "Đang dựng trang theo từng phần: {done} / {count}...",
    "Built {count} components in {ms} ms": "Đã dựng {count} thành phần trong {ms} ms",
    "outlined, medium": "viền, vừa",
    "outlined, small": "viền, nhỏ",
    "filled, medium": "nền, vừa",
    "filled, small": "nền, nhỏ",
    "standard, medium": "chuẩn, vừa",
    "standard, small": "chuẩn, nhỏ",
    "outlined": "viền",
    "filled": "nền",
    "standard": "chuẩn",
    "Option": "Lựa chọn",
    "Primary": "Màu chính",
    "Secondary": "Màu phụ",
    "Info": "Thông tin",
    "Success": "Thành công",
    "Warning": "Cảnh báo",
    "Arrow down": "Mũi tên xuống",
    "Arrow up": "Mũi tên lên",
    "Calendar": "Lịch",
    "Left to right": "Trái sang phải",
    "Right to left": "Phải sang trái",
    "Long text": "Văn bản dài",
    "A label longer than the field": "Nhãn dài hơn ô",
    "A value longer than the field": "Giá trị dài hơn ô",
    "A chosen option longer than the field": "Lựa chọn dài hơn ô",
    "The name of the organisation you work for": "Tên của tổ chức nơi bạn đang làm việc",
    "Address": "Địa chỉ",
}


def _numbered() -> dict[str, str]:
    """The deferred page's numbered headings, card titles and lines."""
    from vantu.gallery.pages.deferred_page import CARDS, LINES, SECTIONS

    words = {}
    for s in range(1, SECTIONS + 1):
        words[f"Section {s}"] = f"Phần {s}"
        for c in range(1, CARDS + 1):
            words[f"Card {s}.{c}"] = f"Thẻ {s}.{c}"
    for i in range(1, LINES + 1):
        words[f"Line {i}"] = f"Dòng {i}"
    return words


def install() -> None:
    # Both catalogues get every key, so each language covers the same words.
    words = {**VIETNAMESE, **_numbered()}
    add_translations("en", {key: key for key in words})
    add_translations("vi", words)
