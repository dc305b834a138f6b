#pragma once
// The control surfaces registered with the simulated host, which it tells about changes as REAPER does.

#include "reaper_abi.h"

#include <vector>

namespace hostsim {

class SurfaceList {
public:
    // Null and surfaces already registered are ignored.
    void add(IReaperControlSurface* surface);
    void remove(const IReaperControlSurface* surface);
    bool contains(const IReaperControlSurface* surface) const { return indexOf(surface) >= 0; }
    // Registration position, or -1.
    int indexOf(const IReaperControlSurface* surface) const;
    int size() const { return static_cast<int>(m_surfaces.size()); }

    // Calls `f(surface)` for every registered surface except `ignore`, in registration order. A callback may
    // register or remove surfaces; one removed during the walk is not called afterwards.
    template <class F> void forEach(const IReaperControlSurface* ignore, F&& f) const {
        const std::vector<IReaperControlSurface*> snapshot = m_surfaces;
        for (IReaperControlSurface* s : snapshot)
            if (s != ignore && contains(s))
                f(*s);
    }

private:
    std::vector<IReaperControlSurface*> m_surfaces;
};

} // namespace hostsim
