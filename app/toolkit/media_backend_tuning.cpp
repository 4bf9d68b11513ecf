#include "app/toolkit/media_backend_tuning.h"

#include <cstring>
#include <gst/gst.h>

namespace {

// Still rides out a busy machine: the sound plays on while the thread feeding it stalls.
constexpr gint64 kAudioBufferUs = 80'000;

// Called for every element added to any bin of the process, on whichever thread adds it.
gboolean ShortenAudioSinkBuffer(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    auto* element = static_cast<GstObject*>(g_value_get_object(&params[1]));
    if (GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) &&
        g_object_class_find_property(G_OBJECT_GET_CLASS(element), "buffer-time"))
        g_object_set(element, "buffer-time", kAudioBufferUs, nullptr);
    return TRUE; // stays for the next sink
}

bool IsAudioOnly(GstDeviceProviderFactory* factory) {
    const char* kind =
        gst_device_provider_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    return kind && std::strstr(kind, "Audio") && !std::strstr(kind, "Video");
}

// A device monitor starts only the providers ranked above none.
void LeaveOutVideoDevices() {
    GList* providers = gst_device_provider_factory_list_get_device_providers(GST_RANK_NONE);
    for (GList* item = providers; item; item = item->next) {
        auto* factory = static_cast<GstDeviceProviderFactory*>(item->data);
        if (!IsAudioOnly(factory))
            gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory), GST_RANK_NONE);
    }
    gst_plugin_feature_list_free(providers);
}

bool Tune() {
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return false;
    LeaveOutVideoDevices();
    return g_signal_add_emission_hook(g_signal_lookup("element-added", GST_TYPE_BIN), 0,
                                      &ShortenAudioSinkBuffer, nullptr, nullptr) != 0;
}

} // namespace

void TuneMediaBackend() {
    static const bool tuned = Tune();
    static_cast<void>(tuned);
}
