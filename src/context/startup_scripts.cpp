#include "context/startup_scripts.h"

std::vector<std::string> default_startup_scripts() {
    return {
        "e = mcube.gty.zy.flx(5,2).fl(2,1,0,1).flz(5,2).c; ret = e.rgb(0.75) + e.duo.rgb(0.25).ix; "
        "return ret.ty(-0.0001);",
        "a = cylinder(0.025,1,32).zy + cone(0.05625,0.125,32).zy.ty(1); b = bcube(0.075,0.005625).rgb(0.25) + "
        "sphere(0.08625).rgb(1,0.75,0); return b + a.duo.rgb(0.25,0.75,0) + a.duo.rzN90.rgb(0.75,0.25,0) + "
        "a.duo.rxN90.rgb(0,0.5,1.0);",
        "t = torus(0.5,0.005,64,4); ret = t.duo.rgb(0.25,0.75,0) + t.duo.rx90.rgb(0,0.5,1) + "
        "t.duo.rz90.rgb(0.75,0.25,0); return ret.s(2);",
    };
}

std::string default_startup_entity_script() {
    return "r = rcube(5,5,0.5,0.25,8); a = cylinder(1.75,1,64) - cylinder(1.25,1,64); a.rx90; "
           "d = rcube(0.5,2,1,0.25,8).rz(45).txy(1.0,-1.0); ret = r - a - d; return ret.s(0.2);";
}
