#pragma once
// Play state, repeat, edit cursor and markers of the simulated project. Time does not run by itself: the
// play position moves only when the cursor is moved with seeking.

#include <vector>

namespace hostsim {

struct PlayState {
    bool playing = false;
    bool paused = false;
    bool recording = false; // together with playing or paused
};

bool operator==(const PlayState& a, const PlayState& b);
bool operator!=(const PlayState& a, const PlayState& b);

class Transport {
public:
    static constexpr double kSeekStep = 0.1;   // seconds one CSurf_OnFwd or CSurf_OnRew call moves
    static constexpr double kScrubStep = 0.05; // seconds one unit of CSurf_ScrubAmt moves

    PlayState state() const { return m_state; }
    // From stop: plays from the edit cursor. From pause: resumes. While playing: nothing.
    void play();
    // Stops playing and recording; the play position returns to the edit cursor.
    void stop();
    // Starts recording (and playing), or stops when already recording.
    void record();
    // Pauses, or resumes a paused transport; from stop it pauses at the edit cursor.
    void pause();

    bool repeat() const { return m_repeat; }
    void setRepeat(bool on) { m_repeat = on; }

    double cursor() const { return m_cursor; }
    // The edit cursor while stopped, else where playback stands.
    double playPosition() const;
    // Never below 0; NaN is ignored. With `seekPlay`, a running or paused playback jumps there too.
    void setCursor(double seconds, bool seekPlay);

    double length() const { return m_length; }
    void setLength(double seconds);
    const std::vector<double>& markers() const { return m_markers; }
    void setMarkers(std::vector<double> seconds);
    // The last marker before the cursor, else the project start.
    double previousMarker() const;
    // The first marker after the cursor, else the project end.
    double nextMarker() const;

private:
    PlayState m_state;
    bool m_repeat = false;
    double m_cursor = 0.0;
    double m_playPosition = 0.0;
    double m_length = 0.0;
    std::vector<double> m_markers; // sorted
};

} // namespace hostsim
