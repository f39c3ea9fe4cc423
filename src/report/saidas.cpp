#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "report/listagem.h"
#include "run/erro_fatal.h"

namespace {

// Campo CSV: entre aspas quando tem vírgula, aspas, brancos ou fim de linha.
std::string campo_csv(const std::string& s) {
    if (s.find_first_of(",\"\r\n ") == std::string::npos) return s;
    std::string r = "\"";
    for (char c : s) r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + "\"";
}

// Quocientes da linha it da tabela, calculados como na listagem.
struct quocientes {
    double razao, q, qmed;
};
quocientes da_iteracao(const estado_execucao& e, long long it) {
    const double r = e.hist[it] / e.hist[0];
    return {r, e.hist[it] / e.hist[it - 1], std::pow(r, 1.0 / static_cast<double>(it))};
}

// Os da última iteração; sem iteração alguma, a razão da linha 0 (1.0).
quocientes finais(const estado_execucao& e) {
    return e.niter >= 1 ? da_iteracao(e, e.niter) : quocientes{1.0, 1.0, 1.0};
}

} // namespace

std::string numero_csv(double v) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

std::string historico_csv(const estado_execucao& e) {
    std::string s = "iteracao,L1(R),L1(R)i/L1(R)o,q,qmed\r\n";
    s += "0," + numero_csv(e.hist[0]) + ",1,,\r\n";
    for (long long it = 1; it <= e.niter; ++it) {
        const quocientes c = da_iteracao(e, it);
        s += std::to_string(it) + "," + numero_csv(e.hist[it]) + "," + numero_csv(c.razao) + "," + numero_csv(c.q) +
             "," + numero_csv(c.qmed) + "\r\n";
    }
    return s;
}

std::string cabecalho_resumo() {
    return "caso,nm,nx,ny,nitm,tolt,problema,tipo_ci,niter,razao_final,qmed_final,cpu_s,relogio_s,"
           "erro_max,erro_medio\r\n";
}

std::string linha_resumo(const estado_execucao& e, const erro_exato& erro) {
    const quocientes f = finais(e);
    return campo_csv(sem_brancos_finais(e.caso)) + "," + std::to_string(e.nm) + "," +
           std::to_string(e.nxg[e.nm] - 2) + "," + std::to_string(e.nyg[e.nm] - 2) + "," + std::to_string(e.nitm) +
           "," + numero_csv(e.tolt) + "," + std::to_string(e.problema) + "," + std::to_string(e.tipo_ci) + "," +
           std::to_string(e.niter) + "," + numero_csv(f.razao) + "," + numero_csv(f.qmed) + "," + numero_csv(e.tcpu) +
           "," + numero_csv(e.tparede) + "," + numero_csv(erro.maximo) + "," + numero_csv(erro.medio) + "\r\n";
}

// Uma só escrita com O_APPEND: rodadas simultâneas no mesmo resumo não misturam linhas.
void anexar_resumo(const std::string& arquivo, const std::string& linha) {
    const int fd = open(arquivo.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    auto falhar = [&](const char* o_que) {
        std::string m(o_que);
        m.append(", --summary file ").append(arquivo).append(": ").append(std::strerror(errno));
        if (fd >= 0) close(fd);
        throw erro_fatal(m);
    };
    if (fd < 0) falhar("cannot open");
    struct stat st{};
    if (fstat(fd, &st) != 0) falhar("cannot open");
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        falhar("not a regular file");
    }
    const std::string s = st.st_size == 0 ? cabecalho_resumo() + linha : linha;
    const ssize_t n = write(fd, s.data(), s.size());
    if (n != static_cast<ssize_t>(s.size())) {
        if (n >= 0) errno = ENOSPC;
        falhar("write error");
    }
    if (close(fd) != 0) {
        const int x = errno;
        errno = x;
        std::string m = "write error, --summary file " + arquivo + ": " + std::strerror(x);
        throw erro_fatal(m);
    }
}

std::string linha_monitor(const estado_execucao& e) {
    std::string s;
    if (e.it == 1) {
        s += utf8(latin1("  Iteração   L1(R)i/L1(R)o  q              qmed")) + "\n";
        s += "  " + inteiro(0, 8) + cientifico(1.0, 15, 6) + "\n";
    }
    const quocientes c = da_iteracao(e, e.it);
    return s + "  " + inteiro(e.it, 8) + cientifico(c.razao, 15, 6) + cientifico(c.q, 15, 6) +
           cientifico(c.qmed, 15, 6) + "\n";
}

std::string sumario_monitor(const estado_execucao& e, const erro_exato& erro) {
    const quocientes f = finais(e);
    auto num = [](double v) { return texto_simples(cientifico(v, 15, 6)); };
    const bool convergiu = e.niter >= 1 && e.it <= e.itmax; // o laço parou pelo teste
    return utf8(latin1(convergiu ? "convergiu em " : "parou em ")) + std::to_string(e.niter) +
           utf8(latin1(e.niter == 1 ? " iteração" : " iterações")) + ": L1(R)i/L1(R)o = " + num(f.razao) +
           ", qmed = " + num(f.qmed) + ", CPU " + texto_simples(fixo(e.tcpu, 14, 3)) + utf8(latin1(" s, relógio ")) +
           texto_simples(fixo(e.tparede, 14, 3)) + utf8(latin1(" s, erro máximo ")) + num(erro.maximo) +
           utf8(latin1(", erro médio ")) + num(erro.medio) + "\n" + linha_threads(e);
}

std::string linha_threads(const estado_execucao& e) {
    std::string s = "threads: " + std::to_string(e.threads_pedidas) + " pedidas, " + std::to_string(e.threads) + " usadas";
    if (e.threads < std::min(e.threads_pedidas, e.processadores))
        s += utf8(latin1(" (o sistema não deixou criar as demais; os resultados são os mesmos)"));
    else if (e.threads < e.threads_pedidas)
        s += " (" + std::to_string(e.processadores) +
             utf8(latin1(e.processadores == 1 ? " processador disponível)" : " processadores disponíveis)"));
    return s + "\n";
}

std::string utf8(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}
