#pragma once

#include <QObject>
#include <cstdint>

namespace mnemora {

// Whether someone is in front of the screen, as far as the desktop tells.
struct PresenceState {
    bool locked = false;     // the screen is locked or its screen saver is on
    bool idle = false;       // no keyboard or mouse input for the idle limit
    bool fullScreen = false; // the active window is full screen on the float window's screen
    bool operator==(const PresenceState&) const = default;
};

// The desktop's signs of absence behind one seam, so the study logic can be driven by a
// fake. An implementation reports each change of State() with changed(); locked and
// full-screen come from desktop events, idle from the input clock, checked no more than
// once a second.
class IPresenceSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual PresenceState State() const = 0;
    // No input for this long counts as idle; 0 turns idle detection off.
    virtual void SetIdleLimit(uint32_t ms) = 0;
    // Full-screen detection costs an event per focus change; it runs only when wanted.
    virtual void SetWatchFullScreen(bool on) = 0;
    // The program itself saw input (a key on its window): idle is over, check it now.
    virtual void NoteActivity() {}

signals:
    void changed(mnemora::PresenceState state);
};

} // namespace mnemora
