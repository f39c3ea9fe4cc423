// Tabela de um estudo a partir do resumo: as linhas lidas de volta, os parâmetros que variam, as séries dos
// gráficos e a ordem observada da discretização entre grades sucessivas.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "state/opcoes_metodo.h"
#include "study/estudo.h"

namespace {

// Colunas do resumo que um estudo pode variar: as da entrada, as do problema (eps, coeficiente, problema_efetivo),
// as do método, itmax. O primeiro parâmetro que varia é o eixo dos gráficos: o problema vem antes dos componentes.
std::vector<std::string> candidatas() {
    std::vector<std::string> c = {"nm", "nx", "ny", "nitm", "tolt", "problema", "tipo_ci"};
    for (const grupo_opcao g : {grupo_opcao::problema, grupo_opcao::metodo})
        for (const opcao_metodo& o : opcoes_do_metodo())
            if (o.grupo == g) c.push_back(o.coluna);
    c.push_back("itmax");
    return c;
}

// Uma coluna que define o problema resolvido (a da entrada ou uma das opções do problema).
bool do_problema(const std::string& coluna) {
    if (coluna == "problema") return true;
    for (const opcao_metodo& o : opcoes_do_metodo())
        if (coluna == o.coluna) return o.grupo == grupo_opcao::problema;
    return false;
}

bool de_grade(const std::string& c) { return c == "nm" || c == "nx" || c == "ny"; }

double numero(const std::string& s) {
    if (s.empty()) return sem_cifra;
    char* fim = nullptr;
    const double v = std::strtod(s.c_str(), &fim);
    return *fim == '\0' ? v : sem_cifra;
}

// As colunas `chave` determinam a coluna c nas linhas dadas (linhas com a mesma chave têm o mesmo c)?
bool determinada(const std::vector<std::vector<std::string>>& v, const std::vector<std::size_t>& chave, std::size_t c) {
    std::map<std::vector<std::string>, std::string> visto;
    for (const auto& linha : v) {
        std::vector<std::string> k;
        for (std::size_t i : chave) k.push_back(linha[i]);
        const auto [it, novo] = visto.emplace(k, linha[c]);
        if (!novo && it->second != linha[c]) return false;
    }
    return true;
}

// As candidatas que as colunas `base` e as já escolhidas não determinam: a chave mínima de uma série.
std::vector<std::size_t> independentes(const std::vector<std::vector<std::string>>& v, std::vector<std::size_t> base,
                                       const std::vector<std::size_t>& candidatas) {
    std::vector<std::size_t> chave;
    for (std::size_t c : candidatas) {
        if (std::find(base.begin(), base.end(), c) != base.end() || determinada(v, base, c)) continue;
        chave.push_back(c);
        base.push_back(c);
    }
    return chave;
}

// Séries: linhas agrupadas pelos valores das colunas `chave` (rótulo "nome=valor ...") na ordem da primeira linha.
std::vector<serie_estudo> agrupar(const std::vector<std::vector<std::string>>& v, const std::vector<std::string>& nomes,
                                  const std::vector<std::size_t>& chave) {
    std::vector<serie_estudo> s;
    std::map<std::vector<std::string>, std::size_t> qual;
    for (std::size_t l = 0; l < v.size(); ++l) {
        std::vector<std::string> k;
        std::string rotulo;
        for (std::size_t i : chave) {
            k.push_back(v[l][i]);
            rotulo += (rotulo.empty() ? "" : " ") + nomes[i] + "=" + v[l][i];
        }
        const auto [it, novo] = qual.emplace(k, s.size());
        if (novo) s.push_back({rotulo, {}, sem_cifra});
        s[it->second].linhas.push_back(l);
    }
    return s;
}

// Inclinação da reta de mínimos quadrados de ln e contra ln h (pontos com e e h positivos e finitos).
double inclinacao(const std::vector<linha_estudo>& l, const std::vector<std::size_t>& idx) {
    double sx = 0, sy = 0, n = 0;
    for (std::size_t i : idx)
        if (l[i].h > 0 && l[i].erro_discretizacao_max > 0) sx += std::log(l[i].h), sy += std::log(l[i].erro_discretizacao_max), ++n;
    if (n < 2) return sem_cifra;
    double sxx = 0, sxy = 0;
    for (std::size_t i : idx)
        if (l[i].h > 0 && l[i].erro_discretizacao_max > 0) {
            const double dx = std::log(l[i].h) - sx / n, dy = std::log(l[i].erro_discretizacao_max) - sy / n;
            sxx += dx * dx;
            sxy += dx * dy;
        }
    return sxx > 0 ? sxy / sxx : sem_cifra;
}

} // namespace

std::vector<std::string> campos_csv(const std::string& linha) {
    std::vector<std::string> c(1);
    bool aspas = false;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        const char x = linha[i];
        if (aspas && x == '"' && i + 1 < linha.size() && linha[i + 1] == '"') c.back() += '"', ++i;
        else if (x == '"') aspas = !aspas;
        else if (x == ',' && !aspas) c.emplace_back();
        else if ((x == '\r' || x == '\n') && !aspas) break;
        else c.back() += x;
    }
    return c;
}

long long tamanho_do_resumo(const std::string& arquivo) {
    std::FILE* f = std::fopen(arquivo.c_str(), "rb");
    if (!f) return 0;
    const long long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : 0;
    std::fclose(f);
    return n < 0 ? 0 : n;
}

resumo_lido ler_resumo(const std::string& arquivo, long long desde) {
    std::FILE* f = std::fopen(arquivo.c_str(), "rb");
    if (!f) throw erro_fatal("cannot open the --summary file " + arquivo + ": " + std::strerror(errno));
    resumo_lido r;
    std::string linha, cabecalho;
    long long inicio = 0, pos = 0;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        ++pos;
        if (c != '\n') {
            linha += static_cast<char>(c);
            continue;
        }
        if (cabecalho.empty()) {
            if (!cabecalho_de_resumo(linha)) {
                std::fclose(f);
                throw erro_fatal(arquivo + " is not a placa summary: its first line is not the summary header");
            }
            cabecalho = linha;
            r.colunas = campos_csv(linha);
        } else if (inicio >= desde && !cabecalho_de_resumo(linha) && !linha.empty()) {
            r.linhas.push_back(campos_csv(linha));
            r.linhas.back().resize(r.colunas.size()); // linhas de outra versão: campos que faltam ficam vazios
        }
        linha.clear();
        inicio = pos;
    }
    std::fclose(f);
    return r;
}

namespace {

// Índice da coluna `nome` no resumo (r.colunas.size() quando não há).
std::size_t coluna_de(const resumo_lido& r, const std::string& nome) {
    const auto i = std::find(r.colunas.begin(), r.colunas.end(), nome);
    return static_cast<std::size_t>(i - r.colunas.begin());
}

// Os parâmetros: colunas candidatas que variam entre as linhas v, as preferidas (as varridas) primeiro.
std::vector<std::size_t> parametros_que_variam(const resumo_lido& r, const std::vector<std::vector<std::string>>& v,
                                               const std::vector<std::string>& preferidos) {
    std::vector<std::size_t> par;
    auto acrescentar = [&](const std::string& nome) {
        const std::size_t c = coluna_de(r, nome);
        if (c == r.colunas.size() || std::find(par.begin(), par.end(), c) != par.end()) return;
        for (const auto& l : v)
            if (l[c] != v.front()[c]) {
                par.push_back(c);
                return;
            }
    };
    for (const std::string& p : preferidos) acrescentar(p);
    for (const std::string& p : candidatas()) acrescentar(p);
    return par;
}

// Uma linha da tabela: o caso, os parâmetros e as cifras que ela mostra.
linha_estudo linha_da_tabela(const resumo_lido& r, const std::vector<std::string>& l, const std::vector<std::size_t>& par) {
    linha_estudo x;
    auto campo = [&](const char* nome) { const std::size_t c = coluna_de(r, nome); return c < l.size() ? l[c] : std::string(); };
    x.caso = campo("caso");
    for (std::size_t c : par) x.parametros.push_back(l[c]);
    x.niter = std::atoll(campo("niter").c_str());
    x.convergiu = campo("convergiu") == "1";
    x.q_assintotico = numero(campo("q_assintotico"));
    x.rho_lfa = numero(campo("rho_lfa"));
    x.mu_lfa = numero(campo("mu_lfa"));
    x.trabalho_ciclo = numero(campo("trabalho_ciclo"));
    x.q_por_trabalho = numero(campo("q_por_trabalho"));
    x.cpu_s = numero(campo("cpu_s"));
    x.erro_algebrico_max = numero(campo("erro_algebrico_max"));
    x.erro_discretizacao_max = numero(campo("erro_discretizacao_max"));
    return x;
}

// Eixo: o primeiro parâmetro (com a grade inteira, se ele é de grade), numérico ou de rótulos; séries do fator e do
// tempo: as colunas que o eixo não determina.
void eixo_e_series(tabela_estudo& t, const resumo_lido& r, const std::vector<std::vector<std::string>>& v,
                   const std::vector<std::size_t>& par, const std::vector<std::size_t>& grade) {
    std::vector<std::size_t> chave;
    if (!par.empty()) {
        t.eixo = r.colunas[par[0]];
        chave = independentes(v, de_grade(t.eixo) ? grade : std::vector<std::size_t>{par[0]}, par);
        t.eixo_numerico = true;
        for (const auto& l : v) t.eixo_numerico = t.eixo_numerico && std::isfinite(numero(l[par[0]]));
    }
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (t.eixo.empty()) t.x.push_back(static_cast<double>(i + 1));
        else if (t.eixo_numerico) t.x.push_back(numero(v[i][par[0]]));
        else {
            const auto p = std::find(t.rotulos_x.begin(), t.rotulos_x.end(), v[i][par[0]]);
            t.x.push_back(static_cast<double>(p - t.rotulos_x.begin() + 1));
            if (p == t.rotulos_x.end()) t.rotulos_x.push_back(v[i][par[0]]);
        }
    }
    t.series_eixo = agrupar(v, r.colunas, chave);
}

// Erro contra h: o erro de discretização só depende da grade e do problema (com eps e o coeficiente), não do método
// nem da tolerância: uma série por problema, h na direção que a série refina, a ordem observada contra a grade
// anterior e a inclinação.
void erro_contra_h(tabela_estudo& t, const resumo_lido& r, const std::vector<std::vector<std::string>>& v,
                   const std::vector<std::size_t>& resto) {
    const std::size_t cx = coluna_de(r, "nx"), cy = coluna_de(r, "ny");
    if (cx == r.colunas.size() || cy == r.colunas.size()) return;
    std::vector<std::size_t> por_problema;
    for (std::size_t c : resto)
        if (do_problema(r.colunas[c])) por_problema.push_back(c);
    t.series_grade = agrupar(v, r.colunas, por_problema);
    for (serie_estudo& s : t.series_grade) {
        bool varia_x = false, varia_y = false;
        for (std::size_t i : s.linhas) {
            varia_x = varia_x || v[i][cx] != v[s.linhas.front()][cx];
            varia_y = varia_y || v[i][cy] != v[s.linhas.front()][cy];
        }
        const std::size_t ch = !varia_x && varia_y ? cy : cx;
        for (std::size_t i : s.linhas) t.linhas[i].h = 1.0 / (numero(v[i][ch]) + 1.0);
        // ordem observada: contra a linha anterior da série com a grade mais grossa mais próxima
        for (std::size_t a = 0; a < s.linhas.size(); ++a) {
            linha_estudo& l = t.linhas[s.linhas[a]];
            const linha_estudo* antes = nullptr;
            for (std::size_t b = 0; b < a; ++b) {
                const linha_estudo& o = t.linhas[s.linhas[b]];
                if (o.h > l.h && (!antes || o.h < antes->h)) antes = &o;
            }
            if (antes && antes->erro_discretizacao_max > 0 && l.erro_discretizacao_max > 0)
                l.ordem = std::log(antes->erro_discretizacao_max / l.erro_discretizacao_max) / std::log(antes->h / l.h);
        }
        s.inclinacao = inclinacao(t.linhas, s.linhas);
    }
}

} // namespace

tabela_estudo montar_tabela(const resumo_lido& r, const std::vector<std::size_t>& escolhidas,
                            const std::vector<std::string>& preferidos) {
    tabela_estudo t;
    std::vector<std::vector<std::string>> v;
    for (std::size_t i : escolhidas) v.push_back(r.linhas[i]);
    const std::vector<std::size_t> par = parametros_que_variam(r, v, preferidos);
    for (std::size_t c : par) t.parametros.push_back(r.colunas[c]);
    for (const auto& l : v) t.linhas.push_back(linha_da_tabela(r, l, par));
    std::vector<std::size_t> grade, resto;
    for (std::size_t c : par) (de_grade(r.colunas[c]) ? grade : resto).push_back(c);
    eixo_e_series(t, r, v, par, grade);
    if (!grade.empty()) erro_contra_h(t, r, v, resto);
    return t;
}
