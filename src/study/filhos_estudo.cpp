// Os filhos de um estudo: lançados até o máximo de uma vez (processadores e soma dos planos de memória), cada um
// com a cópia da entrada lida uma vez; um fork recusado espera; o fim de cada um vira uma rodada feita, que falhou ou
// que divergiu, com as mensagens dele; um sinal de término chega a todos e termina o placa por ele.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/leitor.h"
#include "state/erro_fatal.h"
#include "study/estudo.h"

namespace {

constexpr double espera_por_processo = 0.1; // entre tentativas de fork sem filho vivo a esperar
constexpr int tentativas_de_fork = 300;     // 30 s sem o sistema deixar criar um processo: a rodada falha

// O andamento: os filhos vivos (número -> rodada), a memória que os seus planos tomam e o que já terminou.
struct andamento {
    std::map<long, std::size_t> vivos;
    long long em_uso = 0;
    std::size_t proxima = 0, terminadas = 0;
    fim_das_rodadas fim;
    std::set<std::string> ditas; // avisos iguais de várias rodadas aparecem uma vez
};

// As linhas do erro padrão de um filho que o estudo já disse: os avisos sobre a entrada (o filho a lê como
// /dev/stdin; o estudo os deu com o nome do arquivo) e os dos --set dados (dados também pelo estudo).
bool ja_dita(const std::string& linha, const opcoes_execucao& o) {
    if (linha.starts_with("warning: /dev/stdin, line ")) return true;
    for (const alteracao_entrada& a : o.alteracoes)
        if (linha.starts_with("warning: --set " + mostrar(a.nome) + "=" + mostrar(a.valor) + ": ")) return true;
    return false;
}

// As mensagens de um filho que terminou, com o nome da sua listagem.
void relatar(const fim_filho& f, const rodada_estudo& r, bool pronta, const opcoes_execucao& o, andamento& a) {
    std::size_t i = 0;
    for (std::size_t fim; i < f.erros.size(); i = fim + 1) {
        fim = f.erros.find('\n', i);
        if (fim == std::string::npos) fim = f.erros.size();
        std::string linha = f.erros.substr(i, fim - i);
        if (linha.starts_with("placa: ")) linha.erase(0, 7);
        if (linha.empty() || ja_dita(linha, o)) continue;
        if (!pronta) escrever_mensagem("study run " + r.listagem + " failed: " + linha);
        else if (f.codigo == codigo_divergiu && !linha.starts_with("warning: "))
            escrever_mensagem("study run " + r.listagem + ": " + linha);
        else if (a.ditas.insert(linha).second) escrever_mensagem(linha);
    }
    if (!pronta && f.erros.empty())
        escrever_mensagem("study run " + r.listagem + " failed with exit status " + std::to_string(f.codigo));
}

// Lança as próximas rodadas enquanto cabem; um fork recusado sem filho vivo para esperar dorme e tenta de novo.
void lancar_as_que_cabem(const std::vector<rodada_estudo>& rodadas, const pedido_filho& molde, int maximo,
                         long long disponivel, andamento& a) {
    int tentativas = 0;
    while (!sinal_anotado() && a.proxima < rodadas.size() &&
           cabe_mais_uma(static_cast<int>(a.vivos.size()), a.em_uso, rodadas[a.proxima].memoria, maximo, disponivel)) {
        const rodada_estudo& r = rodadas[a.proxima];
        pedido_filho p = molde;
        p.argumentos.insert(p.argumentos.begin() + 1, r.argumentos.begin(), r.argumentos.end());
        const lancamento l = lancar_filho(p);
        if (l.id > 0) {
            a.vivos[l.id] = a.proxima++;
            a.em_uso += r.memoria;
            tentativas = 0;
            continue;
        }
        if (l.tentar_depois && !a.vivos.empty()) return; // espera um filho acabar
        if (l.tentar_depois && ++tentativas < tentativas_de_fork) {
            dormir(espera_por_processo);
            continue;
        }
        ++a.fim.falhas;
        escrever_mensagem("study run " + r.listagem + " failed: " + l.motivo);
        ++a.proxima;
        tentativas = 0;
    }
}

// O fim de um filho: a rodada pronta (código 0, ou divergiu com as saídas escritas) ou que falhou.
void tratar_fim(const fim_filho& f, const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas,
                const std::string& estudo, long long desde, andamento& a) {
    const auto v = a.vivos.find(f.id);
    if (v == a.vivos.end()) return;
    const std::size_t k = v->second;
    const rodada_estudo& r = rodadas[k];
    a.vivos.erase(v);
    a.em_uso -= r.memoria;
    if (const int s = sinal_anotado(); s && f.codigo == 128 + s) {
        // o sinal pode chegar entre a efetivação das saídas e o fim do filho: vale o que ficou gravado
        const bool gravada = rodada_gravada(o.resumo, desde, estudo, r.listagem);
        a.fim.feitas[k] = gravada;
        a.terminadas += gravada;
        if (!gravada) escrever_mensagem("study run " + r.listagem + " stopped by the signal (it left no file behind)");
        return;
    }
    const bool pronta = f.codigo == 0 || f.codigo == codigo_divergiu;
    a.fim.feitas[k] = pronta;
    a.terminadas += pronta;
    a.fim.divergidas += f.codigo == codigo_divergiu;
    a.fim.falhas += !pronta;
    relatar(f, r, pronta, o, a);
}

} // namespace

bool cabe_mais_uma(int vivas, long long em_uso, long long precisa, int maximo, long long disponivel) {
    if (vivas == 0) return true;
    if (vivas >= maximo) return false;
    return disponivel < 0 || em_uso + precisa <= disponivel;
}

bool rodada_gravada(const std::string& resumo, long long desde, const std::string& estudo, const std::string& caso) {
    try {
        const resumo_lido r = ler_resumo(resumo, desde); // o caso é a primeira coluna
        const std::size_t c = static_cast<std::size_t>(std::find(r.colunas.begin(), r.colunas.end(), "estudo") - r.colunas.begin());
        for (std::size_t i = 0; i < r.linhas(); ++i)
            if (r.campo(i, 0) == caso && c < r.colunas.size() && r.campo(i, c) == estudo) return true;
        return false;
    } catch (const erro_fatal&) {
        return false;
    }
}

fim_das_rodadas executar_rodadas(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas,
                                 const std::string& entrada, const std::string& estudo, long long desde, int maximo) {
    const std::string programa = programa_atual();
    if (programa.empty()) throw erro_fatal("cannot find the placa executable (/proc/self/exe) to start the study runs");
    // cada filho lê a cópia da entrada, que ninguém muda, como /dev/stdin
    const pedido_filho molde{{programa, "/dev/stdin"}, entrada};
    const long long disponivel = memoria_disponivel();
    andamento a;
    a.fim.feitas.assign(rodadas.size(), false);
    anotar_sinais_de_termino();
    for (;;) {
        lancar_as_que_cabem(rodadas, molde, maximo, disponivel, a);
        if (a.vivos.empty() && (sinal_anotado() || a.proxima >= rodadas.size())) break;
        if (a.vivos.empty()) continue;
        const fim_filho f = esperar_filho();
        if (f.id < 0) break; // nenhum filho: não deveria acontecer com vivos
        if (f.id > 0) tratar_fim(f, o, rodadas, estudo, desde, a); // 0: um sinal, que os filhos receberam
    }
    if (const int s = sinal_anotado()) {
        escrever_mensagem("study interrupted by signal " + std::to_string(s) + ": " + std::to_string(a.terminadas) + " of " +
                          std::to_string(rodadas.size()) + " runs finished, each with its listing and summary row complete");
        std::fflush(nullptr);
        terminar_pelo_sinal(s);
    }
    instalar_tratamento_de_sinais();
    return a.fim;
}
