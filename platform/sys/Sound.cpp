#include "platform/sys/Sound.h"

#include "platform/sys/WaveFile.h"

#include <alsa/asoundlib.h>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

namespace vq {
namespace {

// Larger files are not sounds a notification plays.
constexpr std::streamsize kMaxFileBytes = 64 << 20;
constexpr unsigned kLatencyMicroseconds = 200'000;
constexpr snd_pcm_uframes_t kFramesPerWrite = 1024;

std::optional<WaveSound> LoadWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const std::streamsize size = in.tellg();
    if (size <= 0 || size > kMaxFileBytes) return std::nullopt;
    std::vector<std::uint8_t> bytes(std::size_t(size), 0);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return ReadWave(bytes);
}

class Player {
public:
    static Player& Instance() {
        static Player* player = new Player;
        return *player;
    }

    void Play(const std::string& path) {
        std::lock_guard lock(m_Mutex);
        m_Next = path;
        ++m_Generation;
        if (!m_Started) {
            m_Started = true;
            std::thread([this] { Run(); }).detach();
        }
        m_Changed.notify_all();
    }
    void SetDevice(const std::string& device) {
        std::lock_guard lock(m_Mutex);
        m_Device = device;
    }
    void Wait() {
        std::unique_lock lock(m_Mutex);
        m_Changed.wait(lock, [this] { return !m_Next && !m_Playing; });
    }

private:
    void Run() {
        std::unique_lock lock(m_Mutex);
        for (;;) {
            m_Changed.wait(lock, [this] { return m_Next.has_value(); });
            const std::string path = std::move(*m_Next);
            m_Next.reset();
            const std::string device = m_Device;
            const std::uint64_t generation = m_Generation;
            m_Playing = true;
            lock.unlock();
            if (auto sound = LoadWave(path)) Output(*sound, device, generation);
            lock.lock();
            m_Playing = false;
            m_Changed.notify_all();
        }
    }

    bool Superseded(std::uint64_t generation) {
        std::lock_guard lock(m_Mutex);
        return generation != m_Generation;
    }

    void Output(const WaveSound& sound, const std::string& device, std::uint64_t generation) {
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
        const snd_pcm_format_t format = sound.bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels, sound.rate, 1,
                               kLatencyMicroseconds) == 0) {
            const std::size_t frameBytes = std::size_t(sound.channels) * sound.bits / 8;
            const snd_pcm_uframes_t frames = sound.data.size() / frameBytes;
            snd_pcm_uframes_t done = 0;
            while (done < frames && !Superseded(generation)) {
                const snd_pcm_uframes_t count = std::min(kFramesPerWrite, frames - done);
                snd_pcm_sframes_t written = snd_pcm_writei(pcm, sound.data.data() + done * frameBytes, count);
                if (written < 0) written = snd_pcm_recover(pcm, int(written), 1) < 0 ? -1 : 0;
                if (written < 0) break;
                done += snd_pcm_uframes_t(written);
            }
            if (Superseded(generation))
                snd_pcm_drop(pcm);
            else
                snd_pcm_drain(pcm);
        }
        snd_pcm_close(pcm);
    }

    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::optional<std::string> m_Next;
    std::string m_Device = "default";
    std::uint64_t m_Generation = 0;
    bool m_Playing = false;
    bool m_Started = false;
};

} // namespace

void PlaySoundFile(const std::string& path) {
    Player::Instance().Play(path);
}

void SetSoundDevice(const std::string& device) {
    Player::Instance().SetDevice(device);
}

void WaitForSound() {
    Player::Instance().Wait();
}

} // namespace vq
