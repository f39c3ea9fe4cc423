// Leitura do arquivo de entrada (um valor por linha, leitura dirigida por lista) e tamanhos dos níveis.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "run/erro_fatal.h"
#include "run/execucao.h"

namespace {

constexpr int unidade = 7;
constexpr std::size_t max_numero = 4096; // caracteres de um valor numérico
constexpr std::int64_t max_int32 = 2147483647;

bool branco(int c) { return c == ' ' || c == '\t'; }

// Texto de um valor para mensagens: bytes de controle e não ASCII como \xNN, encurtado.
std::string mostrar(const std::string& s) {
    static const char hex[] = "0123456789abcdef";
    std::string r;
    for (std::size_t i = 0; i < s.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 32 || c >= 127) {
            r += "\\x";
            r += hex[c >> 4];
            r += hex[c & 15];
        } else {
            r += static_cast<char>(c);
        }
    }
    if (s.size() > 40) r += "...";
    return r;
}

// Leitor de valores: cada leitura começa numa linha nova e descarta o resto da linha.
class leitor {
public:
    leitor(std::FILE* f, const std::string& arquivo) : f_(f), arquivo_(arquivo) {}

    // Próximo valor cru. Com `texto`, aceita apóstrofos ou aspas e guarda até `limite` caracteres.
    std::string valor(const char* nome, bool texto, std::size_t limite);

    [[noreturn]] void erro(const std::string& tipo, const std::string& detalhe) const {
        throw erro_fatal(tipo + ", unit " + std::to_string(unidade) + ", file " + arquivo_ + ", line " +
                         std::to_string(linha_) + ": " + detalhe);
    }
    long long linha() const { return linha_; }

private:
    int cru();
    int ler();
    void pular_linha() {
        for (int c = ler(); c != '\n' && c != EOF; c = ler()) {
        }
    }

    std::FILE* f_;
    const std::string& arquivo_;
    long long linha_ = 0;
    bool comeco_ = true;     // nada lido ainda: uma marca de ordem de bytes UTF-8 é pulada
    std::string devolvidos_; // bytes lidos a mais, o próximo no fim
};

// Próximo byte do arquivo, antes os devolvidos.
int leitor::cru() {
    if (devolvidos_.empty()) return std::getc(f_);
    const int c = static_cast<unsigned char>(devolvidos_.back());
    devolvidos_.pop_back();
    return c;
}

// Próximo caractere; CR antes de LF ou do fim do arquivo conta como fim de linha. A marca EF BB BF que o
// Bloco de Notas põe no começo de um arquivo UTF-8 não é texto.
int leitor::ler() {
    int c = cru();
    if (comeco_) {
        comeco_ = false;
        if (c == 0xEF) {
            const int b = cru(), d = b == 0xBB ? cru() : EOF;
            if (b == 0xBB && d == 0xBF) return ler();
            if (d != EOF) devolvidos_ += static_cast<char>(d);
            if (b != EOF) devolvidos_ += static_cast<char>(b);
        }
    }
    if (c == '\r') {
        const int d = cru();
        if (d == '\n' || d == EOF) c = '\n';
        else devolvidos_ += static_cast<char>(d);
    }
    if (c == EOF && std::ferror(f_)) {
        throw erro_fatal("error reading unit " + std::to_string(unidade) + ", file " + arquivo_ + ": " +
                         std::strerror(errno));
    }
    return c;
}

std::string leitor::valor(const char* nome, bool texto, std::size_t limite) {
    for (;;) {
        ++linha_;
        int c = ler();
        bool algo = false; // a linha tem ao menos um caractere
        while (branco(c)) {
            c = ler();
            algo = true;
        }
        if (c == EOF) {
            const long long ultima = algo ? linha_ : linha_ - 1;
            throw erro_fatal("end-of-file during read, unit " + std::to_string(unidade) + ", file " + arquivo_ +
                             ": " + nome + " missing (" +
                             (ultima == 0 ? std::string("the file is empty")
                                          : "the file ends after line " + std::to_string(ultima)) + ")");
        }
        if (c == '\n') continue; // linha em branco: nenhum valor
        if (c == ',' || c == '/') {
            erro("list-directed input syntax error",
                 std::string("no value for ") + nome + " before '" + static_cast<char>(c) + "'");
        }
        std::string v;
        if (c == '\'' || c == '"') {
            if (!texto) erro("list-directed input syntax error", std::string("a quoted text where ") + nome +
                                                                     " (a number) belongs");
            const int delim = c;
            for (;;) {
                c = ler();
                if (c == EOF || c == '\n') {
                    erro("list-directed input syntax error",
                         std::string("unterminated quoted text for ") + nome + ": " + static_cast<char>(delim) +
                             mostrar(v));
                }
                if (c == delim) {
                    const int d = ler();
                    if (d != delim) { // fim do texto; o resto da linha é ignorado
                        if (d != '\n' && d != EOF) pular_linha();
                        return v;
                    }
                }
                if (c == '\0') erro("list-directed input syntax error", std::string("NUL byte in ") + nome);
                if (v.size() < limite) v += static_cast<char>(c);
            }
        }
        while (c != EOF && c != '\n' && !branco(c) && c != ',' && c != '/') {
            if (c == '\0') erro("list-directed input syntax error", std::string("NUL byte in ") + nome);
            if (v.size() < limite) v += static_cast<char>(c);
            else if (!texto) erro("list-directed input syntax error", std::string(nome) + " is too long: " + mostrar(v));
            c = ler();
        }
        if (c != EOF && c != '\n') pular_linha();
        return v;
    }
}

std::string ler_texto(leitor& l, const char* nome, std::size_t n) {
    std::string v = l.valor(nome, true, n);
    v.resize(n, ' ');
    return v;
}

int ler_inteiro(leitor& l, const char* nome) {
    const std::string s = l.valor(nome, false, max_numero);
    std::size_t i = 0;
    const bool negativo = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) ++i;
    if (i == s.size()) l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not an integer");
    std::int64_t x = 0;
    bool grande = false;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not an integer");
        }
        if (!grande) x = x * 10 + (s[i] - '0');
        if (x > max_int32 + 1) grande = true;
    }
    if (grande || x > max_int32 + (negativo ? 1 : 0)) {
        l.erro("value out of range", std::string(nome) + " = " + mostrar(s) +
                                         " does not fit a 32-bit integer (-2147483648 to 2147483647)");
    }
    return static_cast<int>(negativo ? -x : x);
}

// Real: sinal opcional, dígitos com ponto opcional, expoente opcional com E ou D.
double ler_real(leitor& l, const char* nome) {
    const std::string s = l.valor(nome, false, max_numero);
    std::string c = s;
    std::size_t i = 0, digitos = 0;
    if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
    while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    if (i < c.size() && c[i] == '.') {
        ++i;
        while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    }
    bool valido = digitos > 0;
    if (valido && i < c.size()) {
        if (c[i] == 'E' || c[i] == 'e' || c[i] == 'D' || c[i] == 'd') {
            c[i++] = 'e';
            if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
            std::size_t expo = 0;
            while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++expo;
            valido = expo > 0 && i == c.size();
        } else {
            valido = false;
        }
    }
    if (!valido) l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not a real number");
    const double v = std::strtod(c.c_str(), nullptr);
    if (!std::isfinite(v)) l.erro("value out of range", std::string(nome) + " = " + mostrar(s) + " is beyond the largest double");
    return v;
}

} // namespace

void ler_valores(estado_execucao& e, std::FILE* f, const std::string& arquivo) {
    leitor l(f, arquivo);
    e.caso = ler_texto(l, "caso", 50);
    e.nm = ler_inteiro(l, "nm");
    if (e.nm < 1 || e.nm > 31) {
        l.erro("value out of range", "nm = " + std::to_string(e.nm) + ", must be 1 to 31");
    }
    e.nxg.assign(e.nm + 1, 0);
    e.nyg.assign(e.nm + 1, 0);
    e.nxyg.assign(e.nm + 1, 0);
    e.nxg[1] = ler_inteiro(l, "nxg(1)");
    if (e.nxg[1] < 2) l.erro("value out of range", "nxg(1) = " + std::to_string(e.nxg[1]) + ", must be at least 2");
    e.nyg[1] = ler_inteiro(l, "nyg(1)");
    if (e.nyg[1] < 2) l.erro("value out of range", "nyg(1) = " + std::to_string(e.nyg[1]) + ", must be at least 2");

    // tamanhos em 64 bits: todos devem caber em 32 bits com sinal
    std::int64_t total = 0;
    for (int k = 1; k <= e.nm; ++k) {
        const std::int64_t nx = (static_cast<std::int64_t>(e.nxg[1]) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        const std::int64_t ny = (static_cast<std::int64_t>(e.nyg[1]) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        std::string excesso;
        if (nx > max_int32) excesso = "nxg(" + std::to_string(k) + ") = " + std::to_string(nx);
        else if (ny > max_int32) excesso = "nyg(" + std::to_string(k) + ") = " + std::to_string(ny);
        else if (nx * ny > max_int32) excesso = "nxyg(" + std::to_string(k) + ") = " + std::to_string(nx * ny);
        else if ((total += nx * ny) > max_int32) excesso = "nxyt = " + std::to_string(total);
        if (!excesso.empty()) {
            l.erro("value out of range", "nm = " + std::to_string(e.nm) + ", nxg(1) = " + std::to_string(e.nxg[1]) +
                                             " and nyg(1) = " + std::to_string(e.nyg[1]) + " give " + excesso +
                                             ", above the 32-bit limit 2147483647");
        }
    }

    e.tolt = ler_real(l, "tolt");
    e.itmax = ler_inteiro(l, "itmax");
    e.nitm = ler_inteiro(l, "nitm");
    e.problema = ler_inteiro(l, "problema");
    e.tipo_ci = ler_inteiro(l, "tipo_ci");
    e.escreve = ler_inteiro(l, "escreve");
    e.freq = ler_inteiro(l, "freq");
    e.titulo = ler_texto(l, "titulo", 90);
}

void derivar_niveis(estado_execucao& e) {
    e.nxyg[1] = e.nxg[1] * e.nyg[1];
    for (int k = 2; k <= e.nm; ++k) {
        e.nxg[k] = (e.nxg[1] - 1) * (1 << (k - 1)) + 1;
        e.nyg[k] = (e.nyg[1] - 1) * (1 << (k - 1)) + 1;
        e.nxyg[k] = e.nxg[k] * e.nyg[k];
    }
    e.nxyt = 0;
    for (int k = 1; k <= e.nm; ++k) e.nxyt += e.nxyg[k];
}

void criar_hist(estado_execucao& e) {
    const std::size_t n = static_cast<std::size_t>(std::clamp(e.itmax, 0, hist_inicial - 1)) + 1;
    try {
        e.hist.assign(n, 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating hist (" + std::to_string(n * sizeof(double)) + " bytes)");
    }
}

void ler_dados(estado_execucao& e, const std::string& arquivo, bool editar) {
    if (editar) executar_editor(arquivo);
    std::FILE* f = std::fopen(arquivo.c_str(), "r");
    if (!f) {
        throw erro_fatal("cannot open unit " + std::to_string(unidade) + ", file " + arquivo + ": " +
                         std::strerror(errno));
    }
    try {
        ler_valores(e, f, arquivo);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    derivar_niveis(e);
    criar_hist(e);
}
