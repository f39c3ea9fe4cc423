// O que os programas dos pares (hypre e PETSc) têm em comum: a placa senoidal de n x n pontos com os contornos da
// listagem, a solução exata e a solução exata das equações discretas, o resíduo em L1 somado como na listagem, a
// procura da primeira iteração que atinge cada critério, os argumentos nome=valor e a linha JSON do resultado.
// Cada medida roda k iterações a partir do campo inicial (interior nulo) e cronometra só a solução.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pares {

constexpr double pi = 3.141592653589793;
constexpr double inverso_sinh_pi = 0.08658953753004696;

inline double agora() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// O problema discreto da placa: campos de n*n pontos, ponto (i, j) em i + j*n (0 a n-1), x = i*dx, linha 0 ao sul.
struct problema {
    int n = 0;
    double dx = 0, ae = 0, an = 0, ap = 0; // coeficientes da listagem, sem escala
    std::vector<double> exata;             // sin(pi x) sinh(pi y) / sinh(pi)
    std::vector<double> discreta;          // solução exata das equações de cinco pontos
    double erro_discretizacao = 0;         // máx |discreta - exata|, contornos incluídos
    double l1_inicial = 0;                 // L1 do resíduo do campo inicial

    double contorno(int i, int j) const { // os valores de contorno da listagem (cantos nulos)
        return (j == n - 1 && i > 0 && i < n - 1) ? std::sin((static_cast<double>(i) * dx) * pi) : 0.0;
    }
    bool interior(int i, int j) const { return i > 0 && j > 0 && i < n - 1 && j < n - 1; }

    std::vector<double> campo_inicial() const {
        std::vector<double> t(static_cast<std::size_t>(n) * n, 0.0);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                if (!interior(i, j)) t[i + static_cast<std::size_t>(j) * n] = contorno(i, j);
        return t;
    }

    // Soma de |(ap T - an (S + N)) - ae (W + E)| no interior, na ordem da memória.
    double l1_residuo(const std::vector<double>& t) const {
        double s = 0.0;
        for (int j = 1; j < n - 1; ++j)
            for (int i = 1; i < n - 1; ++i) {
                const std::size_t p = i + static_cast<std::size_t>(j) * n;
                s += std::fabs((ap * t[p] - an * (t[p - n] + t[p + n])) - ae * (t[p - 1] + t[p + 1]));
            }
        return s;
    }

    static double maximo_diferenca(const std::vector<double>& a, const std::vector<double>& b) {
        double m = 0.0;
        for (std::size_t p = 0; p < a.size(); ++p) {
            const double d = std::fabs(a[p] - b[p]);
            if (!(d <= m)) m = d; // um NaN fica no máximo
        }
        return m;
    }
};

// sin(pi x_i) g(y_j) com g(y) = sinh(m y) / sinh(m), cosh(m dy) = 1 + (1 - cos(pi dx)) (dx = dy): cada linha do
// campo é autovetor da segunda diferença em x, e a recorrência em y fica g(j-1) + g(j+1) = 2 cosh(m dy) g(j).
inline problema montar_problema(int n) {
    problema p;
    p.n = n;
    p.dx = 1.0 / static_cast<double>(n - 1);
    p.ae = 1.0 / (p.dx * p.dx);
    p.an = p.ae;
    p.ap = (p.an + p.ae) * 2.0;
    const double s = std::sin(0.5 * pi * p.dx), d = 2.0 * (s * s);
    const double m = std::log1p(d + std::sqrt(d * (2.0 + d))) / p.dx;
    const std::size_t total = static_cast<std::size_t>(n) * n;
    p.exata.resize(total);
    p.discreta = p.campo_inicial();
    for (int j = 0; j < n; ++j) {
        const double y = static_cast<double>(j) * p.dx;
        const double g = std::exp(m * (y - 1.0)) * (std::expm1(-2.0 * m * y) / std::expm1(-2.0 * m));
        for (int i = 0; i < n; ++i) {
            const double x = static_cast<double>(i) * p.dx;
            const std::size_t q = i + static_cast<std::size_t>(j) * n;
            p.exata[q] = (std::sin(x * pi) * std::sinh(y * pi)) * inverso_sinh_pi;
            if (p.interior(i, j)) p.discreta[q] = std::sin(x * pi) * g;
        }
    }
    p.erro_discretizacao = problema::maximo_diferenca(p.discreta, p.exata);
    p.l1_inicial = p.l1_residuo(p.campo_inicial());
    return p;
}

// Uma medida: k iterações a partir do campo inicial, o tempo da solução e o campo que ela deixou.
struct medida {
    int k = 0;
    double segundos = 0;     // a mais rápida das repetições
    double razao = 0;        // L1(R)k / L1(R)0
    double erro_total = 0;   // máx |T - exata|
    double erro_algebrico = 0; // máx |T - discreta|
    int repeticoes = 0;
    std::uint64_t assinatura = 0; // FNV-1a dos bytes do campo
    bool mesmos_bits = true;      // as repetições deixaram o mesmo campo, bit a bit
};

inline std::uint64_t assinar(const std::vector<double>& t) {
    std::uint64_t h = 1469598103934665603ull;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(t.data());
    for (std::size_t q = 0; q < t.size() * sizeof(double); ++q) h = (h ^ b[q]) * 1099511628211ull;
    return h;
}

// Roda k iterações do campo inicial, cronometra só a solução e devolve o campo completo (contornos incluídos).
using solucao = std::function<std::vector<double>(int k, double& segundos)>;

struct procura {
    const problema& p;
    solucao resolver;
    int kmax = 50;
    std::map<int, medida> feitas{};
    bool guardar_campos = false; // só a verificação grava campos (4097² são 134 MB cada)
    std::map<int, std::vector<double>> campos{};


    const medida& em(int k) {
        auto it = feitas.find(k);
        if (it != feitas.end()) return it->second;
        medida m;
        m.k = k;
        std::vector<double> t = resolver(k, m.segundos);
        m.razao = p.l1_residuo(t) / p.l1_inicial;
        m.erro_total = problema::maximo_diferenca(t, p.exata);
        m.erro_algebrico = problema::maximo_diferenca(t, p.discreta);
        m.repeticoes = 1;
        m.assinatura = assinar(t);
        if (guardar_campos) campos[k] = std::move(t);
        return feitas.emplace(k, m).first->second;
    }

    // A primeira iteração que atinge o critério (supõe-se monótono), começando pela dica: passos que dobram até
    // cercá-la, depois bissecção; -1 se nem kmax atinge. Uma dica certa custa duas medidas.
    int primeira(const std::function<bool(const medida&)>& atinge, int dica) {
        int k = dica < 1 ? 1 : (dica > kmax ? kmax : dica);
        int falha, acerto; // falha < primeira <= acerto
        if (atinge(em(k))) {
            acerto = k;
            falha = 0;
            for (int passo = 1; acerto > 1; passo *= 2) {
                const int j = acerto - passo < 1 ? 1 : acerto - passo;
                if (!atinge(em(j))) {
                    falha = j;
                    break;
                }
                acerto = j;
            }
        } else {
            falha = k;
            acerto = -1;
            for (int passo = 1; falha < kmax; passo *= 2) {
                const int j = falha + passo > kmax ? kmax : falha + passo;
                if (atinge(em(j))) {
                    acerto = j;
                    break;
                }
                falha = j;
            }
            if (acerto < 0) return -1;
        }
        while (acerto - falha > 1) {
            const int meio = falha + (acerto - falha) / 2;
            if (atinge(em(meio))) acerto = meio;
            else falha = meio;
        }
        return acerto;
    }

    // Mais repetições de k: fica o menor tempo; o campo tem de sair o mesmo.
    void repetir(int k, int vezes) {
        medida& m = const_cast<medida&>(em(k));
        for (int r = 1; r < vezes; ++r) {
            double s = 0;
            const std::vector<double> t = resolver(k, s);
            if (s < m.segundos) m.segundos = s;
            if (assinar(t) != m.assinatura) m.mesmos_bits = false;
            ++m.repeticoes;
        }
    }
};

// Argumentos nome=valor.
struct argumentos {
    std::map<std::string, std::string> v;
    argumentos(int argc, char** argv) {
        for (int a = 1; a < argc; ++a) {
            const char* igual = std::strchr(argv[a], '=');
            if (!igual) {
                std::fprintf(stderr, "argument '%s' is not NAME=VALUE\n", argv[a]);
                std::exit(2);
            }
            v[std::string(argv[a], static_cast<std::size_t>(igual - argv[a]))] = igual + 1;
        }
    }
    std::string texto(const std::string& nome, const std::string& padrao) const {
        auto it = v.find(nome);
        return it == v.end() ? padrao : it->second;
    }
    double numero(const std::string& nome, double padrao) const {
        auto it = v.find(nome);
        if (it == v.end()) return padrao;
        char* fim = nullptr;
        const double x = std::strtod(it->second.c_str(), &fim);
        if (fim == it->second.c_str() || *fim) {
            std::fprintf(stderr, "invalid value '%s' for %s\n", it->second.c_str(), nome.c_str());
            std::exit(2);
        }
        return x;
    }
    int inteiro(const std::string& nome, int padrao) const { return static_cast<int>(numero(nome, padrao)); }
};

inline std::string json_texto(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    return r + "\"";
}

inline void escrever_medida(std::FILE* f, const char* nome, const medida* m) {
    if (!m) {
        std::fprintf(f, ", \"%s\": null", nome);
        return;
    }
    std::fprintf(f, ", \"%s\": {\"k\": %d, \"s\": %.9g, \"razao\": %.17g, \"erro_total\": %.17g, "
                    "\"erro_algebrico\": %.17g, \"repeticoes\": %d, \"mesmos_bits\": %s}",
                 nome, m->k, m->segundos, m->razao, m->erro_total, m->erro_algebrico, m->repeticoes,
                 m->mesmos_bits ? "true" : "false");
}

// O trabalho de um programa de par: a procura dos dois critérios (ou a verificação num campo gravado) e o JSON.
inline int conduzir(const argumentos& a, const problema& p, procura& busca, const std::string& par,
                    const std::string& ajuste, double montagem_s, double preparo_s) {
    const double margem = a.numero("margem", 0.01), tolerancia = a.numero("tolerancia", 1e-8);
    busca.kmax = a.inteiro("kmax", 50);
    const medida* m8 = nullptr;
    const medida* md = nullptr;
    const medida* mv = nullptr;
    const std::string arquivo = a.texto("campo", "");
    if (!arquivo.empty()) {
        // verificação: a iteração de menor resíduo até kv, e o campo gravado em binário (n*n doubles)
        const int kv = a.inteiro("kv", 30);
        busca.guardar_campos = true;
        int melhor = 1;
        for (int k = 1; k <= kv; ++k)
            if (busca.em(k).razao < busca.em(melhor).razao) melhor = k;
        mv = &busca.em(melhor);
        std::FILE* f = std::fopen(arquivo.c_str(), "wb");
        if (!f || std::fwrite(busca.campos[melhor].data(), sizeof(double), busca.campos[melhor].size(), f)
                      != busca.campos[melhor].size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", arquivo.c_str());
            return 1;
        }
    } else {
        const int repeticoes = a.inteiro("repeticoes", 3);
        const int k8 = busca.primeira([&](const medida& m) { return m.razao <= tolerancia; }, a.inteiro("dica_tol", 5));
        // o erro algébrico (contra a solução discreta) a margem do de discretização: o erro total fica então a
        // margem do da solução discreta; o erro total sozinho não serve, pois desce abaixo dele por cancelamento
        const int kd = busca.primeira([&](const medida& m) { return m.erro_algebrico <= margem * p.erro_discretizacao; },
                                      a.inteiro("dica_disc", k8 > 0 ? k8 : 5));
        if (k8 > 0) busca.repetir(k8, repeticoes);
        if (kd > 0 && kd != k8) busca.repetir(kd, repeticoes);
        if (k8 > 0) m8 = &busca.em(k8);
        if (kd > 0) md = &busca.em(kd);
    }
    std::printf("{\"par\": %s, \"ajuste\": %s, \"n\": %d, \"montagem_s\": %.9g, \"preparo_s\": %.9g, "
                "\"erro_discretizacao\": %.17g, \"l1_inicial\": %.17g, \"margem\": %.17g, \"tolerancia\": %.17g, "
                "\"iteracoes_rodadas\": %zu",
                json_texto(par).c_str(), json_texto(ajuste).c_str(), p.n, montagem_s, preparo_s, p.erro_discretizacao,
                p.l1_inicial, margem, tolerancia, busca.feitas.size());
    escrever_medida(stdout, "tolerancia_atingida", m8);
    escrever_medida(stdout, "discretizacao_atingida", md);
    escrever_medida(stdout, "verificacao", mv);
    std::printf("}\n");
    return 0;
}

} // namespace pares
