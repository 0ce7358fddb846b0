#include "keyboard_layout.h"

#include <QGuiApplication>

#include <dlfcn.h>

// Xlib is loaded at run time: on a session without X11 (or without the library) the switch
// simply does nothing, and the program never needs Xlib to start.
#include <X11/XKBlib.h>

namespace pelorin {

namespace {

const char* const kEnglishUs = "English (US)";
const char* const kArabicPrefix = "Arabic";

struct XkbCalls {
    decltype(&XkbGetState) getState = nullptr;
    decltype(&XkbLockGroup) lockGroup = nullptr;
    decltype(&XkbAllocKeyboard) allocKeyboard = nullptr;
    decltype(&XkbGetNames) getNames = nullptr;
    decltype(&XkbFreeKeyboard) freeKeyboard = nullptr;
    decltype(&XGetAtomName) getAtomName = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XSync) sync = nullptr;
    bool complete() const
    {
        return getState && lockGroup && allocKeyboard && getNames && freeKeyboard && getAtomName && free &&
               sync;
    }
};

const XkbCalls& xkb()
{
    static const XkbCalls calls = [] {
        XkbCalls c;
        void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!lib) return c;
        auto load = [lib](auto& fn, const char* name) {
            fn = reinterpret_cast<std::decay_t<decltype(fn)>>(dlsym(lib, name));
        };
        load(c.getState, "XkbGetState");
        load(c.lockGroup, "XkbLockGroup");
        load(c.allocKeyboard, "XkbAllocKeyboard");
        load(c.getNames, "XkbGetNames");
        load(c.freeKeyboard, "XkbFreeKeyboard");
        load(c.getAtomName, "XGetAtomName");
        load(c.free, "XFree");
        load(c.sync, "XSync");
        return c;
    }();
    return calls;
}

// The display Qt draws on, when it draws on X11.
Display* qtDisplay()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

QString groupName(const XkbCalls& x, Display* dpy, XkbDescPtr desc, int group)
{
    if (group < 0 || group >= XkbNumKbdGroups || !desc->names || desc->names->groups[group] == 0) return {};
    char* name = x.getAtomName(dpy, desc->names->groups[group]);
    if (!name) return {};
    const QString text = QString::fromUtf8(name);
    x.free(name);
    return text;
}

} // namespace

bool switchXkbGroup(const QString& language)
{
    const QString lang = language.toLower();
    if (lang != QLatin1String("ar") && lang != QLatin1String("en")) return false;
    const XkbCalls& x = xkb();
    if (!x.complete()) return false;
    Display* dpy = qtDisplay();
    if (!dpy) return false;

    XkbStateRec state;
    if (x.getState(dpy, XkbUseCoreKbd, &state) != Success) return false;
    XkbDescPtr desc = x.allocKeyboard();
    if (!desc) return false;
    bool switched = false;
    if (x.getNames(dpy, XkbGroupNamesMask, desc) == Success) {
        const QString current = groupName(x, dpy, desc, state.group);
        const bool englishUs = current == QLatin1String(kEnglishUs);
        // Arabic is chosen only over English (US); English only when another layout is active.
        const bool wanted = lang == QLatin1String("ar") ? englishUs : !englishUs;
        for (int g = 0; wanted && g < XkbNumKbdGroups; ++g) {
            const QString name = groupName(x, dpy, desc, g);
            const bool target = lang == QLatin1String("ar") ? name.startsWith(QLatin1String(kArabicPrefix))
                                                            : name == QLatin1String(kEnglishUs);
            if (target && g != state.group) {
                switched = x.lockGroup(dpy, XkbUseCoreKbd, unsigned(g));
                // Wait for the server, so that the layout is in force when this returns.
                x.sync(dpy, False);
                break;
            }
        }
    }
    x.freeKeyboard(desc, XkbAllComponentsMask, True);
    return switched;
}

} // namespace pelorin
