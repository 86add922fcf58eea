// A stand-in for the ALSA sequencer, preloaded into the app by the tests: this machine
// has none, so the app would never see a MIDI input. It lists the inputs named, one per
// line, in the file $ORVO_MIDI_INPUTS (read afresh at every look, so a test can plug
// one in), notes a subscription to an input as "connected <name>" in $ORVO_MIDI_LOG,
// and delivers the three-byte note messages written to the FIFO $ORVO_MIDI_NOTES.
// Only the sequencer calls that the framework makes for MIDI input are replaced.

#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int firstClient = 20;

struct ClientInfo { int client; };
struct PortInfo { int client; int port; };

std::mutex lock;
std::vector<std::string> inputs;
int lastPort = -1;
int noteFd = -1;

std::string fromEnvironment (const char* name)
{
    const char* value = std::getenv (name);
    return value != nullptr ? value : "";
}

void readInputs()
{
    std::lock_guard<std::mutex> guard (lock);
    inputs.clear();
    std::ifstream file (fromEnvironment ("ORVO_MIDI_INPUTS"));
    for (std::string line; std::getline (file, line);)
        if (! line.empty())
            inputs.push_back (line);
}

std::string inputOfClient (int client)
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
    if (const auto path = fromEnvironment ("ORVO_MIDI_NOTES"); ! path.empty())
        noteFd = open (path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return 0;
}

int snd_seq_close (snd_seq_t*) { return 0; }
int snd_seq_nonblock (snd_seq_t*, int) { return 0; }
int snd_seq_set_client_name (snd_seq_t*, const char*) { return 0; }
int snd_seq_client_id (snd_seq_t*) { return 128; }

int snd_seq_system_info (snd_seq_t*, snd_seq_system_info_t*)
{
    readInputs();
    return 0;
}

int snd_seq_system_info_get_cur_clients (const snd_seq_system_info_t*)
{
    std::lock_guard<std::mutex> guard (lock);
    return (int) inputs.size();
}

int snd_seq_query_next_client (snd_seq_t*, snd_seq_client_info_t* info)
{
    auto* client = reinterpret_cast<ClientInfo*> (info);
    client->client = client->client < firstClient ? firstClient : client->client + 1;
    return inputOfClient (client->client).empty() ? -ENOENT : 0;
}

int snd_seq_client_info_get_client (const snd_seq_client_info_t* info) { return reinterpret_cast<const ClientInfo*> (info)->client; }
int snd_seq_client_info_get_num_ports (const snd_seq_client_info_t*) { return 1; }

void snd_seq_port_info_set_client (snd_seq_port_info_t* info, int client) { reinterpret_cast<PortInfo*> (info)->client = client; }
void snd_seq_port_info_set_port (snd_seq_port_info_t* info, int port) { reinterpret_cast<PortInfo*> (info)->port = port; }
int snd_seq_port_info_get_port (const snd_seq_port_info_t* info) { return reinterpret_cast<const PortInfo*> (info)->port; }
unsigned int snd_seq_port_info_get_capability (const snd_seq_port_info_t*) { return SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ; }

int snd_seq_query_next_port (snd_seq_t*, snd_seq_port_info_t* info)
{
    auto* port = reinterpret_cast<PortInfo*> (info);
    if (port->port >= 0)
        return -ENOENT;
    port->port = 0;
    return 0;
}

const char* snd_seq_port_info_get_name (const snd_seq_port_info_t* info)
{
    static thread_local std::string name;
    name = inputOfClient (reinterpret_cast<const PortInfo*> (info)->client);
    return name.c_str();
}

int snd_seq_create_simple_port (snd_seq_t*, const char*, unsigned int, unsigned int)
{
    std::lock_guard<std::mutex> guard (lock);
    return ++lastPort;
}

int snd_seq_delete_simple_port (snd_seq_t*, int) { return 0; }
int snd_seq_connect_to (snd_seq_t*, int, int, int) { return 0; }

int snd_seq_connect_from (snd_seq_t*, int, int sourceClient, int)
{
    std::ofstream (fromEnvironment ("ORVO_MIDI_LOG"), std::ios::app) << "connected " << inputOfClient (sourceClient) << "\n";
    return 0;
}

int snd_seq_poll_descriptors_count (snd_seq_t*, short) { return 1; }

int snd_seq_poll_descriptors (snd_seq_t*, struct pollfd* fds, unsigned int space, short events)
{
    if (space < 1)
        return 0;
    fds[0] = { noteFd, events, 0 };
    return 1;
}

int snd_seq_event_input_pending (snd_seq_t*, int)
{
    int bytes = 0;
    return noteFd >= 0 && ioctl (noteFd, FIONREAD, &bytes) == 0 ? bytes / 3 : 0;
}

int snd_seq_event_input (snd_seq_t*, snd_seq_event_t** event)
{
    static thread_local snd_seq_event_t received;
    unsigned char bytes[3];
    if (noteFd < 0 || read (noteFd, bytes, 3) != 3)
        return -EAGAIN;

    snd_seq_ev_clear (&received);
    received.type = (bytes[0] & 0xf0) == 0x90 ? SND_SEQ_EVENT_NOTEON : SND_SEQ_EVENT_NOTEOFF;
    received.data.note.channel = bytes[0] & 0x0f;
    received.data.note.note = bytes[1];
    received.data.note.velocity = bytes[2];
    received.dest.port = (unsigned char) lastPort;
    *event = &received;
    return 1;
}

int snd_seq_free_event (snd_seq_event_t*) { return 0; }
}
