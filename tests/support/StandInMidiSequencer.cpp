// A stand-in for the ALSA sequencer, which this machine lacks, preloaded into the app by the
// tests (AppUnderTest.h says what it does): only the calls the framework makes for MIDI input.

#include <alsa/asoundlib.h>

#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int firstClient = 20;
struct Info
{
    int client, port;
};  // what the framework's client and port records hold here

std::mutex lock;
std::vector<std::string> inputs;
int lastPort = -1, notes = -1;

Info& info (const void* record)
{
    return *static_cast<Info*> (const_cast<void*> (record));
}
std::string environment (const char* name)
{
    return std::getenv (name) != nullptr ? std::getenv (name) : "";
}

std::string inputOf (int client)
{
    std::lock_guard<std::mutex> guard (lock);
    const auto index = (size_t) (client - firstClient);
    return index < inputs.size() ? inputs[index] : std::string();
}
}

extern "C"
{
    int snd_seq_open (snd_seq_t** handle, const char*, int, int)
    {
        static int sequencer;
        *handle = reinterpret_cast<snd_seq_t*> (&sequencer);
        notes = open (environment ("ORVO_MIDI_NOTES").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        return 0;
    }

    int snd_seq_close (snd_seq_t*)
    {
        return 0;
    }
    int snd_seq_nonblock (snd_seq_t*, int)
    {
        return 0;
    }
    int snd_seq_set_client_name (snd_seq_t*, const char*)
    {
        return 0;
    }
    int snd_seq_client_id (snd_seq_t*)
    {
        return 128;
    }

    int snd_seq_system_info (snd_seq_t*, snd_seq_system_info_t*)
    {
        std::lock_guard<std::mutex> guard (lock);
        inputs.clear();
        std::ifstream file (environment ("ORVO_MIDI_INPUTS"));
        for (std::string line; std::getline (file, line);)
            if (! line.empty())
                inputs.push_back (line);
        return 0;
    }

    int snd_seq_system_info_get_cur_clients (const snd_seq_system_info_t*)
    {
        std::lock_guard<std::mutex> guard (lock);
        return (int) inputs.size();
    }

    int snd_seq_query_next_client (snd_seq_t*, snd_seq_client_info_t* record)
    {
        auto& client = info (record).client;
        client = client < firstClient ? firstClient : client + 1;
        return inputOf (client).empty() ? -1 : 0;
    }

    int snd_seq_client_info_get_client (const snd_seq_client_info_t* record)
    {
        return info (record).client;
    }
    int snd_seq_client_info_get_num_ports (const snd_seq_client_info_t*)
    {
        return 1;
    }
    void snd_seq_port_info_set_client (snd_seq_port_info_t* record, int client)
    {
        info (record).client = client;
    }
    void snd_seq_port_info_set_port (snd_seq_port_info_t* record, int port)
    {
        info (record).port = port;
    }
    int snd_seq_port_info_get_port (const snd_seq_port_info_t* record)
    {
        return info (record).port;
    }
    unsigned int snd_seq_port_info_get_capability (const snd_seq_port_info_t*)
    {
        return SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
    }
    int snd_seq_query_next_port (snd_seq_t*, snd_seq_port_info_t* record)
    {
        return info (record).port++ < 0 ? 0 : -1;
    }

    const char* snd_seq_port_info_get_name (const snd_seq_port_info_t* record)
    {
        static thread_local std::string name;
        return (name = inputOf (info (record).client)).c_str();
    }

    int snd_seq_create_simple_port (snd_seq_t*, const char*, unsigned int, unsigned int)
    {
        std::lock_guard<std::mutex> guard (lock);
        return ++lastPort;
    }
    int snd_seq_delete_simple_port (snd_seq_t*, int)
    {
        return 0;
    }
    int snd_seq_connect_to (snd_seq_t*, int, int, int)
    {
        return 0;
    }

    int snd_seq_connect_from (snd_seq_t*, int, int client, int)
    {
        std::ofstream (environment ("ORVO_MIDI_LOG"), std::ios::app) << "connected " << inputOf (client) << "\n";
        return 0;
    }

    int snd_seq_poll_descriptors_count (snd_seq_t*, short)
    {
        return 1;
    }

    int snd_seq_poll_descriptors (snd_seq_t*, struct pollfd* descriptors, unsigned int space, short events)
    {
        return space > 0 ? (descriptors[0] = { notes, events, 0 }, 1) : 0;
    }

    int snd_seq_event_input_pending (snd_seq_t*, int)
    {
        int bytes = 0;
        return ioctl (notes, FIONREAD, &bytes) == 0 ? bytes / 3 : 0;
    }

    int snd_seq_event_input (snd_seq_t*, snd_seq_event_t** event)
    {
        static thread_local snd_seq_event_t received;
        unsigned char bytes[3];
        if (read (notes, bytes, 3) != 3)
            return -EAGAIN;

        snd_seq_ev_clear (&received);
        received.type = (bytes[0] & 0xf0) == 0x90 ? SND_SEQ_EVENT_NOTEON : SND_SEQ_EVENT_NOTEOFF;
        received.data.note = { (unsigned char) (bytes[0] & 0x0f), bytes[1], bytes[2], 0, 0 };
        received.dest.port = (unsigned char) lastPort;
        *event = &received;
        return 1;
    }

    int snd_seq_free_event (snd_seq_event_t*)
    {
        return 0;
    }
}
