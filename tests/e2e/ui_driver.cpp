// Drives the console's dialog from beside it: a Windows program run under wine in the same session
// as quorvel.exe. It reads one command per line on standard input and answers each with exactly
// one line on standard output, "ok ..." or "error ...", in UTF-8.
//
//   wait-window MS          wait until the dialog "Quorvel" is shown
//   set ID TEXT             set a control's text (WM_SETTEXT; a digits-only field takes any text)
//   get ID                  a control's text
//   check ID 0|1            click the check box until it shows that state; answers the state
//   click ID                a button click as the button reports it to the dialog: WM_COMMAND
//                           with BN_CLICKED from the control; answers once the handler has ended
//   press ID                the same click posted: answers at once, while the handler may still run
//   status                  the status line's text, read even while the dialog is busy
//   wait-status TEXT MS     wait until the status line shows TEXT
//   controls                the number of controls
//   control N               control N (from 0, in tab order): id, class, style, ex-style,
//                           rectangle in dialog units, caption; tab-separated
//   template FILE           dialog 103 of a program file: language, style, ex-style, position,
//                           size, menu, class, caption, font; tab-separated
//   template-item FILE N    item N of that template: id, class, style, ex-style, rectangle,
//                           caption; tab-separated
//   icons FILE              the ids of the program file's icon groups
//   manifest FILE           the program file's manifest (resource type 24, id 1) on one line
//   pixel X Y               the colour of a client pixel of the dialog, RRGGBB
//   screenshot FILE         the dialog's client area as a PNG
//   acp                     the session's ANSI code page
//   display                 whether this session's desktop can show windows
//   end 1|2                 end the dialog with IDOK or IDCANCEL, as Enter or Esc do
//   close                   the close box: WM_CLOSE
//   quit
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/png_writer.h"

namespace {

// The dialog's size in dialog units, to turn pixels back into units across processes.
enum { DIALOG_UNITS_WIDTH = 457, DIALOG_UNITS_HEIGHT = 314, SEND_LIMIT_MS = 5000 };
// A click handler may wait for the module: three 1 s password attempts, or a 16 s reply limit.
enum { CLICK_LIMIT_MS = 30000 };
enum { STATUS_LINE_ID = 1009, MAIN_DIALOG_ID = 103 };

HWND dialog = NULL;

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), NULL, 0,
                                   NULL, NULL);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, NULL,
                        NULL);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

std::wstring WindowsPath(const std::string& path) {
    return Wide(path);
}

void Answer(const std::string& line) {
    std::string out = line + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        size_t next = line.find(' ', at);
        if (next == std::string::npos)
            next = line.size();
        if (next > at)
            words.push_back(line.substr(at, next - at));
        at = next + 1;
    }
    return words;
}

// What follows the first `skip` words of the line, spaces kept.
std::string Rest(const std::string& line, int skip) {
    size_t at = 0;
    for (int i = 0; i < skip && at != std::string::npos; ++i) {
        at = line.find(' ', at);
        if (at != std::string::npos)
            ++at;
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

// Read from the window manager's copy of the text: no message is sent, so this works while the
// dialog's thread is busy with a command.
std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Read through WM_GETTEXT: the control's own text (an edit field's current contents).
bool ControlText(HWND control, std::wstring* text) {
    wchar_t buffer[512] = {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, SEND_LIMIT_MS, &result))
        return false;
    *text = buffer;
    return true;
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

int UnitsOf(int pixels, int clientPixels, int clientUnits) {
    return static_cast<int>((static_cast<long long>(pixels) * clientUnits * 2 + clientPixels) /
                            (2LL * clientPixels));
}

std::vector<HWND> Controls() {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    return controls;
}

std::string DescribeControl(HWND control) {
    RECT client, box;
    GetClientRect(dialog, &client);
    GetWindowRect(control, &box);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&box), 2);
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    int width = client.right, height = client.bottom;
    std::string line = "ok\t" + std::to_string(static_cast<short>(GetDlgCtrlID(control))) + "\t" +
                       Utf8(className) + "\t" +
                       Hex(static_cast<unsigned long>(GetWindowLongW(control, GWL_STYLE))) + "\t" +
                       Hex(static_cast<unsigned long>(GetWindowLongW(control, GWL_EXSTYLE))) + "\t";
    line += std::to_string(UnitsOf(box.left, width, DIALOG_UNITS_WIDTH)) + "\t" +
            std::to_string(UnitsOf(box.top, height, DIALOG_UNITS_HEIGHT)) + "\t" +
            std::to_string(UnitsOf(box.right - box.left, width, DIALOG_UNITS_WIDTH)) + "\t" +
            std::to_string(UnitsOf(box.bottom - box.top, height, DIALOG_UNITS_HEIGHT)) + "\t";
    return line + Utf8(WindowText(control));
}

// Reads the extended dialog template of a program file.
class TemplateReader {
  public:
    explicit TemplateReader(const std::string& file) {
        module_ = LoadLibraryExW(WindowsPath(file).c_str(), NULL,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module_ == NULL)
            return;
        EnumResourceLanguagesW(module_, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(MAIN_DIALOG_ID),
                               RememberLanguage, reinterpret_cast<LONG_PTR>(&language_));
        HRSRC found = FindResourceExW(module_, MAKEINTRESOURCEW(5),
                                      MAKEINTRESOURCEW(MAIN_DIALOG_ID), language_);
        if (found == NULL)
            return;
        at_ = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
        end_ = at_ + SizeofResource(module_, found);
    }
    ~TemplateReader() {
        if (module_ != NULL)
            FreeLibrary(module_);
    }
    bool ok() const { return at_ != nullptr; }

    // The dialog's own fields; leaves the reader at the first item.
    std::string Header(int* itemCount) {
        if (Word() != 1 || Word() != 0xFFFF)
            return "error not an extended template";
        DWORD help = Dword();
        DWORD exStyle = Dword();
        DWORD style = Dword();
        *itemCount = Word();
        int x = Short(), y = Short(), cx = Short(), cy = Short();
        std::string menu = NameOrOrdinal();
        std::string windowClass = NameOrOrdinal();
        std::string caption = Utf8(String());
        std::string line = "ok\t" + std::to_string(language_) + "\t" + Hex(style) + "\t" +
                           Hex(exStyle) + "\t" + std::to_string(help) + "\t" + std::to_string(x) +
                           "\t" + std::to_string(y) + "\t" + std::to_string(cx) + "\t" +
                           std::to_string(cy) + "\t" + menu + "\t" + windowClass + "\t" + caption;
        if (style & (DS_SETFONT | DS_SHELLFONT)) {
            int points = Word();
            int weight = Word();
            int italic = *at_++;
            int charset = *at_++;
            line += "\t" + std::to_string(points) + "\t" + std::to_string(weight) + "\t" +
                    std::to_string(italic) + "\t" + std::to_string(charset) + "\t" + Utf8(String());
        }
        return line;
    }

    std::string Item() {
        Align();
        DWORD help = Dword();
        DWORD exStyle = Dword();
        DWORD style = Dword();
        int x = Short(), y = Short(), cx = Short(), cy = Short();
        long id = static_cast<long>(static_cast<int32_t>(Dword()));
        std::string windowClass = NameOrOrdinal();
        std::string caption = NameOrOrdinal();
        int extra = Word();
        at_ += extra;
        (void)help;
        return "ok\t" + std::to_string(id) + "\t" + windowClass + "\t" + Hex(style) + "\t" +
               Hex(exStyle) + "\t" + std::to_string(x) + "\t" + std::to_string(y) + "\t" +
               std::to_string(cx) + "\t" + std::to_string(cy) + "\t" + caption;
    }

  private:
    static BOOL CALLBACK RememberLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language,
                                          LONG_PTR context) {
        *reinterpret_cast<WORD*>(context) = language;
        return FALSE;
    }
    WORD Word() {
        WORD value = 0;
        if (at_ + 2 <= end_)
            std::memcpy(&value, at_, 2);
        at_ += 2;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() {
        DWORD value = 0;
        if (at_ + 4 <= end_)
            std::memcpy(&value, at_, 4);
        at_ += 4;
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && at_ < end_; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    std::string NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        if (first == 0)
            return "";
        at_ -= 2;
        return Utf8(String());
    }
    void Align() {
        while ((reinterpret_cast<uintptr_t>(at_) & 3) != 0)
            ++at_;
    }

    HMODULE module_ = NULL;
    WORD language_ = 0;
    const BYTE* at_ = nullptr;
    const BYTE* end_ = nullptr;
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) {
    auto* names = reinterpret_cast<std::string*>(context);
    if (IS_INTRESOURCE(name))
        *names += " " + std::to_string(reinterpret_cast<uintptr_t>(name));
    else
        *names += " " + Utf8(name);
    return TRUE;
}

std::string Icons(const std::string& file) {
    HMODULE module = LoadLibraryExW(WindowsPath(file).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL)
        return "error cannot load " + file;
    std::string names;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14), CollectName,
                       reinterpret_cast<LONG_PTR>(&names));
    FreeLibrary(module);
    return "ok" + names;
}

std::string Manifest(const std::string& file) {
    HMODULE module = LoadLibraryExW(WindowsPath(file).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL)
        return "error cannot load " + file;
    std::string text;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (found != NULL) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    if (found == NULL)
        return "error no manifest";
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return "ok " + text;
}

bool Screenshot(const std::string& file, int* width, int* height) {
    // Paint whatever is pending first: the dialog's thread paints only when its queue is empty.
    RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR unused = 0;
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, 0, SEND_LIMIT_MS, &unused);
    RECT client;
    GetClientRect(dialog, &client);
    *width = client.right;
    *height = client.bottom;
    HDC windowDc = GetDC(dialog);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, *width, *height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, *width, *height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = *width;
    info.bmiHeader.biHeight = -*height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> bgra(static_cast<size_t>(*width) * *height * 4);
    int rows = GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(*height), bgra.data(), &info,
                         DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(dialog, windowDc);
    if (rows != *height)
        return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(*width) * *height * 3);
    for (size_t i = 0, j = 0; i < bgra.size(); i += 4, j += 3) {
        rgb[j] = bgra[i + 2];
        rgb[j + 1] = bgra[i + 1];
        rgb[j + 2] = bgra[i];
    }
    return WritePng(file, *width, *height, rgb);
}

HWND FindDialog() {
    HWND found = FindWindowW(L"#32770", L"Quorvel");
    return found != NULL && IsWindowVisible(found) ? found : NULL;
}

bool DialogIsThere() {
    return dialog != NULL && IsWindow(dialog);
}

HWND Control(const std::string& id) {
    return GetDlgItem(dialog, std::atoi(id.c_str()));
}

std::string Run(const std::string& line) {
    std::vector<std::string> words = Words(line);
    if (words.empty())
        return "error empty command";
    const std::string& command = words[0];
    size_t count = words.size();

    if (command == "acp")
        return "ok " + std::to_string(GetACP());
    if (command == "display") {
        // A window can be made only where the session's desktop found the X display.
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                     GetModuleHandleW(NULL), NULL);
        if (probe == NULL)
            return "error the desktop has no display driver";
        DestroyWindow(probe);
        return "ok";
    }
    if (command == "wait-window" && count == 2) {
        DWORD start = GetTickCount();
        DWORD limit = static_cast<DWORD>(std::atol(words[1].c_str()));
        for (;;) {
            dialog = FindDialog();
            if (dialog != NULL)
                return "ok";
            if (GetTickCount() - start > limit)
                return "error no dialog";
            Sleep(20);
        }
    }
    if (command == "template" && count == 2) {
        TemplateReader reader(Rest(line, 1));
        if (!reader.ok())
            return "error no dialog template";
        int items = 0;
        return reader.Header(&items);
    }
    if (command == "template-item" && count >= 3) {
        TemplateReader reader(words[1]);
        if (!reader.ok())
            return "error no dialog template";
        int items = 0;
        reader.Header(&items);
        int wanted = std::atoi(words[2].c_str());
        if (wanted < 0 || wanted >= items)
            return "error no item " + words[2];
        std::string item;
        for (int i = 0; i <= wanted; ++i)
            item = reader.Item();
        return item;
    }
    if (command == "icons" && count == 2)
        return Icons(words[1]);
    if (command == "manifest" && count == 2)
        return Manifest(words[1]);

    if (!DialogIsThere())
        return "error no dialog";
    if (command == "set" && count >= 2) {
        HWND control = Control(words[1]);
        std::wstring text = Wide(Rest(line, 2));
        DWORD_PTR result = 0;
        if (control == NULL)
            return "error no control " + words[1];
        if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                 SMTO_ABORTIFHUNG, SEND_LIMIT_MS, &result))
            return "error busy";
        return "ok";
    }
    if (command == "get" && count == 2) {
        HWND control = Control(words[1]);
        std::wstring text;
        if (control == NULL)
            return "error no control " + words[1];
        if (!ControlText(control, &text))
            return "error busy";
        return "ok " + Utf8(text);
    }
    if ((command == "check" && count == 3) || (command == "checked" && count == 2)) {
        HWND control = Control(words[1]);
        if (control == NULL)
            return "error no control " + words[1];
        DWORD_PTR state = 0;
        SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, SEND_LIMIT_MS, &state);
        if (command == "check" && state != static_cast<DWORD_PTR>(std::atoi(words[2].c_str()))) {
            DWORD_PTR unused = 0;
            SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, SEND_LIMIT_MS, &unused);
            SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, SEND_LIMIT_MS,
                                &state);
        }
        return "ok " + std::to_string(state);
    }
    if ((command == "click" || command == "press") && count == 2) {
        HWND control = Control(words[1]);
        if (control == NULL)
            return "error no control " + words[1];
        WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        LPARAM from = reinterpret_cast<LPARAM>(control);
        if (command == "press")
            return PostMessageW(dialog, WM_COMMAND, clicked, from) ? "ok" : "error post failed";
        DWORD_PTR unused = 0;
        return SendMessageTimeoutW(dialog, WM_COMMAND, clicked, from, SMTO_NORMAL, CLICK_LIMIT_MS,
                                   &unused)
                   ? "ok"
                   : "error the dialog did not handle the click in time";
    }
    if (command == "status" && count == 1)
        return "ok " + Utf8(WindowText(GetDlgItem(dialog, STATUS_LINE_ID)));
    if (command == "wait-status" && count >= 3) {
        std::string wanted = Rest(line, 1);
        wanted = wanted.substr(0, wanted.rfind(' '));
        DWORD limit = static_cast<DWORD>(std::atol(words[count - 1].c_str()));
        DWORD start = GetTickCount();
        for (;;) {
            std::string shown = Utf8(WindowText(GetDlgItem(dialog, STATUS_LINE_ID)));
            if (shown == wanted)
                return "ok " + shown;
            if (GetTickCount() - start > limit)
                return "error timeout " + shown;
            Sleep(10);
        }
    }
    if (command == "controls" && count == 1)
        return "ok " + std::to_string(Controls().size());
    if (command == "control" && count == 2) {
        std::vector<HWND> controls = Controls();
        size_t index = static_cast<size_t>(std::atoi(words[1].c_str()));
        if (index >= controls.size())
            return "error no control " + words[1];
        return DescribeControl(controls[index]);
    }
    if (command == "pixel" && count == 3) {
        HDC dc = GetDC(dialog);
        COLORREF colour = GetPixel(dc, std::atoi(words[1].c_str()), std::atoi(words[2].c_str()));
        ReleaseDC(dialog, dc);
        if (colour == CLR_INVALID)
            return "error no pixel";
        char text[16];
        std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                      GetBValue(colour));
        return std::string("ok ") + text;
    }
    if (command == "screenshot" && count >= 2) {
        int width = 0, height = 0;
        if (!Screenshot(Rest(line, 1), &width, &height))
            return "error screenshot failed";
        return "ok " + std::to_string(width) + " " + std::to_string(height);
    }
    if (command == "end" && count == 2) {
        WPARAM id = static_cast<WPARAM>(std::atoi(words[1].c_str()));
        if (id != IDOK && id != IDCANCEL)
            return "error end takes 1 or 2";
        return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0)
                   ? "ok"
                   : "error post failed";
    }
    if (command == "close" && count == 1)
        return PostMessageW(dialog, WM_CLOSE, 0, 0) ? "ok" : "error post failed";
    return "error unknown command: " + line;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line == "quit") {
            Answer("ok");
            break;
        }
        Answer(Run(line));
    }
    return 0;
}
