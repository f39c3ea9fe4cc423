// Plataforma: o que o programa pede ao sistema operacional, em poucas operações livres, e o único código que fala
// com ele. Arquivos (temporários, links, anexação sob trava), caminhos e identidade, sinais, editor e programas
// filhos, relógios, hora local, localidade, processadores e cota, memória das grades e a leitura de argv. As
// implementações POSIX estão em *_posix.cpp; os testes ligam uma falsa para processos, relógios e recursos.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct data_local {
    int ano, mes, dia, hora, minuto, segundo;
};

// ---- linha de comando (argumentos_posix.cpp: getopt_long, com as abreviações e a permutação dele)

// Uma opção que o programa aceita: o nome longo (ou nulo) e a letra curta (ou 0).
struct opcao_aceita {
    const char* longa;
    char curta;
    bool com_valor;
};
// O que a leitura achou: as opções em ordem (índice em `aceitas` e valor), os operandos e, se parou num argumento
// que não serve, o porquê e o argumento.
enum class falha_argumento { nenhuma, falta_valor, valor_sobrando, letra_desconhecida, desconhecida };
struct argumentos_lidos {
    std::vector<std::pair<std::size_t, std::string>> opcoes;
    std::vector<std::string> operandos;
    falha_argumento falha = falha_argumento::nenhuma;
    std::string argumento; // o argumento como escrito (falha_argumento != nenhuma)
    char letra = 0;        // a letra curta desconhecida
};
/// Lê argv até o fim ou até o primeiro argumento que não serve.
argumentos_lidos ler_argumentos(int argc, char** argv, const std::vector<opcao_aceita>& aceitas);

// ---- processos, relógios e recursos (plataforma_posix.cpp; os testes ligam uma falsa)

/// Há um editor a executar ($VISUAL, $EDITOR, ou vi com um terminal na entrada padrão)?
bool ha_editor();
/// Editor de texto sobre o arquivo, esperado até fechar; qualquer falha é ignorada.
void executar_editor(const std::string& arquivo);
/// Tempo de processador do processo, em segundos.
double tempo_processador();
/// Tempo de relógio monotônico, em segundos.
double tempo_parede();
/// Data e hora locais de agora.
data_local hora_local();
// Conjunto de caracteres do terminal (da localidade).
enum class conjunto_caracteres { utf8, latin1, ascii };
/// O erro padrão é um terminal (e não "dumb")?
bool erro_padrao_e_terminal();
/// O conjunto de caracteres da localidade do usuário (nl_langinfo(CODESET)).
conjunto_caracteres conjunto_do_terminal();
/// Processadores que o processo pode usar: máscara de afinidade e cota de CPU do cgroup (ao menos 1).
int processadores_disponiveis();
/// Processadores que outros processos ocupam (/proc/loadavg, ver carga_de_loadavg); 0 quando não se sabe.
double carga_do_sistema();
/// A carga de um texto de /proc/loadavg ("0.52 0.40 0.31 3/190 1234"): a maior entre a média do último minuto e os
/// processos executando agora menos um (quem lê), que vê quem acaba de começar antes de a média subir. Só lê o
/// texto; 0 se ilegível.
double carga_de_loadavg(const std::string& texto);
/// O nome desta máquina (gethostname); "unknown" quando não se sabe.
std::string nome_da_maquina();
/// O modelo do processador ("model name" de /proc/cpuinfo, ou "Processor"/"cpu model"); "unknown" quando não se sabe.
std::string modelo_do_processador();
/// Processadores inteiros que uma cota permite: cgroup v2 "cota período" (cpu.max) ou v1 cota e período em
/// microssegundos; 0 quando não há cota ("max", cota negativa ou texto ilegível). Só lê o texto.
int processadores_da_cota(const std::string& cota, const std::string& periodo = "");
/// Área de `bytes` bytes zerada, alinhada a página e, quando grande, a 2 MiB com páginas grandes pedidas
/// (madvise MADV_HUGEPAGE); nullptr sem memória. As páginas são tocadas só por quem escreve nelas.
void* reservar_area(std::size_t bytes);
/// Devolve uma área de reservar_area com o mesmo tamanho.
void liberar_area(void* area, std::size_t bytes);
/// Memória que ainda pode ser obtida, em bytes; -1 quando não se sabe.
long long memoria_disponivel();
/// Espaço de endereçamento que a pilha de uma nova thread toma, em bytes.
long long pilha_de_thread();
/// Roda um programa (procurado no PATH) e espera; o código de saída, ou -1 se não pôde começar.
/// Com `erros`, o erro padrão do programa vai para lá em vez de para o terminal.
int executar_programa(const std::vector<std::string>& argumentos, std::string* erros = nullptr);

// ---- filhos de um estudo (plataforma_posix.cpp; os testes ligam uma versão falsa)

/// Caminho absoluto do próprio executável, para relançá-lo; vazio se não se sabe.
std::string programa_atual();
/// Diretório de trabalho, absoluto; vazio se não se sabe.
std::string diretorio_atual();
// Fim de um filho: seu número, o código de saída (128 + o sinal, se um sinal o terminou) e o erro padrão dele.
struct fim_filho {
    long id = -1;       // > 0: o filho que terminou; 0: a espera foi cortada por um sinal; -1: nenhum filho vivo
    int codigo = 0;
    std::string erros;  // até 64 KiB do que o filho escreveu no erro padrão
};
// Um filho de estudo: argumentos[0] é o caminho do programa (sem PATH e sem shell); `entrada`, os bytes da sua
// entrada padrão, numa cópia anônima que só ele lê.
struct pedido_filho {
    std::vector<std::string> argumentos;
    std::string entrada;
};
// O resultado de um lançamento.
struct lancamento {
    long id = -1;               // > 0: o filho
    bool tentar_depois = false; // o sistema recusou um processo agora (EAGAIN, limite de processos): tentar de novo
    std::string motivo;         // id < 0: por quê
};
/// Lança o filho num grupo de processos só dele, com o erro padrão guardado à parte. Ele recebe SIGTERM quando o
/// placa termina, de qualquer jeito, até por SIGKILL (PR_SET_PDEATHSIG), e os sinais anotados vão ao grupo todo:
/// nenhum filho fica órfão resolvendo.
lancamento lancar_filho(const pedido_filho& p);
/// Espera o fim de qualquer filho lançado por lancar_filho.
fim_filho esperar_filho();
/// Dorme `segundos` (um sinal anotado encurta o sono).
void dormir(double segundos);
/// n letras e algarismos ao acaso (getrandom), para identificar um estudo.
std::string texto_aleatorio(int n);

// ---- arquivos (arquivos_posix.cpp; reais também nos testes)

/// Nome para passar a outro programa: um caminho relativo ganha "./", para nunca ser lido como opção.
std::string nome_para_programa(const std::string& caminho);

// Falha de uma operação de arquivo: o código do sistema e, numa recusa por política, a explicação.
struct falha_arquivo {
    int codigo = 0;      // errno; 0 = sem falha
    std::string motivo;  // texto que substitui strerror(codigo), quando não vazio
    explicit operator bool() const { return codigo != 0; }
};
/// O texto da falha: o motivo, ou a descrição do código.
std::string descrever(const falha_arquivo& f);
/// Lê o arquivo inteiro (até `limite` bytes; mais que isso: EFBIG) em `conteudo`.
falha_arquivo ler_arquivo(const std::string& caminho, std::size_t limite, std::string& conteudo);

/// Identidade de um caminho: dispositivo e inode se existe; senão o diretório resolvido e o nome.
struct identidade_arquivo {
    bool existe = false;
    unsigned long long dispositivo = 0, inode = 0;
    std::string caminho; // quando não existe
};
identidade_arquivo identificar(const std::string& caminho);
bool mesmo_arquivo(const identidade_arquivo& a, const identidade_arquivo& b);

/// O destino pode receber uma saída? Confere pasta, nome, tipo e links, sem criar nada.
falha_arquivo examinar_destino(const std::string& caminho);
/// O destino existe e não é um arquivo regular (dispositivo, FIFO, terminal, saída padrão)?
bool destino_especial(const std::string& caminho);

// Temporário de uma gravação segura: anônimo até ganhar o nome do destino; para outro programa (o gnuplot), também
// anônimo, mas aberto por ele como /dev/fd/N, um descritor que ele herda: nenhum nome existe enquanto ele trabalha,
// e nem um SIGKILL deixa arquivo para trás (só onde o sistema de arquivos não tem O_TMPFILE um temporário com nome).
enum class tipo_temporario { anonimo, para_outro_programa };

// Gravação segura: num temporário anônimo do diretório do destino, que só ganha o nome do destino quando
// efetivado; um destino que não é arquivo regular é escrito diretamente. Nunca segue um link simbólico de outro
// usuário (o do root sim), em pasta nenhuma, e nunca copia os bits setuid, setgid e sticky. Desfeita (nada fica)
// se destruída antes de efetivada, e também por um sinal que termine o processo.
class gravacao_segura {
public:
    gravacao_segura() = default;
    ~gravacao_segura();
    gravacao_segura(gravacao_segura&& o) noexcept;
    gravacao_segura& operator=(gravacao_segura&& o) noexcept;
    gravacao_segura(const gravacao_segura&) = delete;
    gravacao_segura& operator=(const gravacao_segura&) = delete;

    /// Prepara a gravação de `caminho`.
    falha_arquivo abrir(const std::string& caminho, tipo_temporario tipo = tipo_temporario::anonimo);
    /// Escreve n bytes (todos, ou a falha).
    falha_arquivo escrever(const char* p, std::size_t n);
    /// Caminho pelo qual outro programa lê ou escreve esta gravação: /dev/fd/N (um descritor sem FD_CLOEXEC, que o
    /// filho herda), o temporário com nome, ou o destino especial; vazio para um temporário só deste processo.
    const std::string& caminho_para_escrita() const;
    /// Grava no disco e dá ao conteúdo o nome do destino.
    falha_arquivo efetivar();
    /// Desfaz: o temporário some, o destino fica como estava.
    void descartar();

private:
    int fd_ = -1;
    int herdado_ = -1;       // cópia de fd_ que os filhos herdam (para_outro_programa), ou -1
    int vaga_ = -1;          // vaga no registro de temporários com nome, ou -1
    bool direto_ = false;    // destino especial, escrito diretamente
    bool anonimo_ = false;   // temporário O_TMPFILE, ainda sem nome
    std::string destino_;    // caminho real do destino (links resolvidos)
    std::string diretorio_;  // diretório do destino, terminado em '/' (ou vazio)
    std::string temporario_; // nome do temporário, quando tem um
    std::string para_outro_; // /dev/fd/N de herdado_
};

// Enquanto vive, trava (flock exclusivo) as pastas reais dos arquivos dados, em ordem de dispositivo e inode: as
// saídas de uma rodada (listagem, CSV, figuras e a linha do resumo) entram como um conjunto, e rodadas simultâneas
// com os mesmos destinos nunca misturam a listagem de uma com o CSV de outra. Uma pasta que não se deixa travar
// (sem leitura, um sistema de arquivos sem flock) fica sem trava.
class trava_de_conjunto {
public:
    explicit trava_de_conjunto(const std::vector<std::string>& arquivos);
    ~trava_de_conjunto();
    trava_de_conjunto(const trava_de_conjunto&) = delete;
    trava_de_conjunto& operator=(const trava_de_conjunto&) = delete;

private:
    std::vector<int> pastas_; // descritores das pastas travadas
};

/// Acrescenta a um arquivo regular (criado se falta) o texto que `conteudo(vazio)` devolve, sob uma trava
/// exclusiva (flock), de modo que a decisão "arquivo vazio" e a escrita não se misturam com outra rodada.
/// Numa falha, o arquivo volta ao tamanho que tinha.
falha_arquivo anexar_sob_trava(const std::string& caminho, const std::function<std::string(bool vazio)>& conteudo);

// ---- sinais (sinais_posix.cpp)

/// Todo sinal cuja ação padrão termina o processo apaga os temporários com nome ainda registrados e termina
/// pelo mesmo sinal; SIGXFSZ e SIGPIPE são ignorados, para que um limite de tamanho de arquivo ou um leitor que
/// saiu virem erros de escrita com mensagem.
void instalar_tratamento_de_sinais();
/// Durante um estudo: um sinal que terminaria o processo é só anotado e repassado aos filhos vivos (que apagam os
/// seus temporários e terminam), e a espera por eles volta; instalar_tratamento_de_sinais desfaz.
void anotar_sinais_de_termino();
// Enquanto vive, os sinais de término esperam: o que se faz dentro (a linha do resumo e a efetivação das saídas de
// uma rodada) termina inteiro antes que um sinal encerre o processo.
class sinais_adiados {
public:
    sinais_adiados();
    ~sinais_adiados();
    sinais_adiados(const sinais_adiados&) = delete;
    sinais_adiados& operator=(const sinais_adiados&) = delete;

private:
    unsigned char antigo_[128]; // a máscara anterior (sigset_t)
};
/// O primeiro sinal anotado desde anotar_sinais_de_termino, ou 0.
int sinal_anotado();
/// Termina o processo pelo sinal s (ação padrão), como o shell espera de um programa interrompido.
[[noreturn]] void terminar_pelo_sinal(int s);
