// Caminhos no POSIX: links resolvidos sem nunca seguir o de outro usuário, descritores (/dev/stdout), identidade de
// arquivos, exame de destinos antes da solução.
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/interno_posix.h"
#include "platform/plataforma.h"

std::string diretorio_de(const std::string& c) {
    const std::size_t b = c.rfind('/');
    return b == std::string::npos ? "" : c.substr(0, b + 1);
}

const char* ou_corrente(const std::string& d) { return d.empty() ? "." : d.c_str(); }

// "/proc/self/fd/N", "/proc/PID/fd/N" ou "/dev/fd/N": um descritor aberto, não um arquivo com nome. Devolve N
// quando o descritor é deste processo, -1 quando é de outro, -2 quando o caminho não é desses.
int descritor_de(const std::string& p) {
    std::string resto;
    if (p.starts_with("/dev/fd/")) {
        resto = p.substr(8);
    } else if (p.starts_with("/proc/")) {
        const std::size_t f = p.find("/fd/", 6);
        if (f == std::string::npos) return -2;
        const std::string dono = p.substr(6, f - 6);
        if (dono != "self" && dono != "thread-self" && dono != std::to_string(getpid())) return -1;
        resto = p.substr(f + 4);
    } else {
        return -2;
    }
    if (resto.empty() || resto.size() > 9 || resto.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(resto);
}

namespace {

// "uid 65534, nobody" (só o número quando o usuário não tem nome).
std::string dono(uid_t uid) {
    std::string s = "uid " + std::to_string(uid);
    passwd p{}, *r = nullptr;
    char b[4096];
    if (getpwuid_r(uid, &p, b, sizeof b, &r) == 0 && r && r->pw_name) s += std::string(", ") + r->pw_name;
    return s;
}

} // namespace

// Segue a cadeia de links de `caminho` até o destino real (que pode não existir), recusando um link que não pertence
// a quem roda nem ao root, em qualquer pasta: numa pasta de outra pessoa (755) ou de um grupo (2775) o link que ela
// plantou no nome de uma saída faria o placa escrever onde ela quer (a regra protected_symlinks do kernel só
// protege as pastas com sticky bit, e deixa passar o link do dono da pasta).
falha_arquivo resolver(const std::string& caminho, std::string& real) {
    std::string p = caminho;
    for (int n = 0; n < 40; ++n) {
        if (descritor_de(p) != -2) break;
        struct stat l{};
        if (lstat(p.c_str(), &l) != 0) {
            if (errno == ENOENT) break;
            return {errno, ""};
        }
        if (!S_ISLNK(l.st_mode)) break;
        const std::string d = diretorio_de(p);
        if (l.st_uid != geteuid() && l.st_uid != 0)
            return {EACCES, "refusing to follow the symbolic link " + p + ": it belongs to another user (" + dono(l.st_uid) +
                                "), who could make it point anywhere; placa never writes through another user's link"};
        char alvo[PATH_MAX];
        const ssize_t k = readlink(p.c_str(), alvo, sizeof alvo - 1);
        if (k < 0) return {errno, ""};
        const std::string a(alvo, static_cast<std::size_t>(k));
        p = a.starts_with("/") ? a : d + a;
        if (n == 39) return {ELOOP, ""};
    }
    real = p;
    return {};
}

// Abre um destino especial para escrita direta, sem esperar por um leitor de FIFO que não existe.
falha_arquivo abrir_especial(const std::string& real, int& fd) {
    const int n = descritor_de(real);
    if (n >= 0) {
        fd = fcntl(n, F_DUPFD_CLOEXEC, 3);
        return fd < 0 ? falha_arquivo{errno, ""} : falha_arquivo{};
    }
    fd = open(real.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO) return {ENXIO, "no process is reading the FIFO"};
        return {errno, ""};
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {};
}

falha_arquivo escrever_tudo(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return {errno, ""};
        }
        if (k == 0) return {EIO, ""};
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return {};
}

std::string nome_para_programa(const std::string& caminho) {
    return caminho.empty() || caminho.starts_with("/") ? caminho : "./" + caminho;
}

std::string descrever(const falha_arquivo& f) { return f.motivo.empty() ? std::strerror(f.codigo) : f.motivo; }

identidade_arquivo identificar(const std::string& caminho) {
    identidade_arquivo r;
    struct stat st{};
    if (stat(caminho.c_str(), &st) == 0) {
        r.existe = true;
        r.dispositivo = st.st_dev;
        r.inode = st.st_ino;
        return r;
    }
    const std::string d = diretorio_de(caminho);
    char real[PATH_MAX];
    r.caminho = realpath(ou_corrente(d), real) ? std::string(real) + "/" + caminho.substr(d.size()) : caminho;
    return r;
}

bool mesmo_arquivo(const identidade_arquivo& a, const identidade_arquivo& b) {
    if (a.existe != b.existe) return false;
    return a.existe ? a.dispositivo == b.dispositivo && a.inode == b.inode : a.caminho == b.caminho;
}

falha_arquivo examinar_destino(const std::string& caminho) {
    if (caminho.empty()) return {ENOENT, ""};
    std::string real;
    if (falha_arquivo f = resolver(caminho, real)) return f;
    const int n = descritor_de(real);
    if (n != -2) return n >= 0 && fcntl(n, F_GETFD) < 0 ? falha_arquivo{EBADF, ""} : falha_arquivo{};
    const std::string d = diretorio_de(real);
    struct stat st{};
    if (stat(real.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {EISDIR, ""};
        if (!S_ISREG(st.st_mode)) return {};
        if ((st.st_mode & 0222) == 0) return {EACCES, ""};
    } else if (errno != ENOENT) {
        return {errno, ""};
    } else if (real.size() - d.size() > NAME_MAX) {
        return {ENAMETOOLONG, ""};
    }
    struct stat sd{};
    if (stat(ou_corrente(d), &sd) != 0) return {errno, ""};
    if (!S_ISDIR(sd.st_mode)) return {ENOTDIR, ""};
    if (faccessat(AT_FDCWD, ou_corrente(d), W_OK | X_OK, AT_EACCESS) != 0) return {errno, ""};
    return {};
}

bool destino_especial(const std::string& caminho) {
    std::string real;
    if (resolver(caminho, real)) return false;
    if (descritor_de(real) != -2) return true;
    struct stat st{};
    return stat(real.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}
